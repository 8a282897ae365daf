// Which drum keys show which shape, and the three shapes as built.
#include "support/test_support.h"

#include <cmath>

#include "scenes/scene_musicvectors/drum_shapes.h"
#include "util/vectorengine/path.h"

namespace {

TEST(DrumShapes, EachDrumKeyShowsItsShapeAndOthersNothing) {
    const struct {
        int key, shape;
    } cases[] = {
        {36, kBorderFrame}, {37, kBorderFrame}, {40, kSnareShape}, {41, kSnareShape}, {45, kSnareShape},
        {44, kCornerX},     {46, kCornerX},     {38, -1},          {39, -1},          {42, -1},
        {43, -1},           {35, -1},           {47, -1},          {0, -1},           {127, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(drum_shape_for_key(c.key), c.shape) << "key " << c.key;
}

TEST(DrumShapes, SoundingNotesSwitchTheirShapesOn) {
    using Shown = std::array<bool, kDrumShapeCount>;
    const std::vector<uint8_t> keys = {36, 38, 40, 42, 44, 45};
    const struct {
        const char* name;
        std::vector<bool> states;
        Shown shown;  // corner X, frame, snare shape
    } cases[] = {
        {"nothing sounds", {false, false, false, false, false, false}, {false, false, false}},
        {"the kick", {true, false, false, false, false, false}, {false, true, false}},
        {"keys that light nothing", {false, true, false, true, false, false}, {false, false, false}},
        {"two keys of one shape", {false, false, true, false, false, true}, {false, false, true}},
        {"everything", {true, true, true, true, true, true}, {true, true, true}},
        {"fewer states than keys", {false, false, false, false, true}, {true, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(drum_shapes_shown(keys, c.states), c.shown);
    }
}

// The built path of a shape.
std::unique_ptr<Path> built(DrumShape shape) {
    std::unique_ptr<Path> p = make_drum_shape(shape);
    EXPECT_TRUE(p->rebuild());
    return p;
}

TEST(DrumShapes, TheCornerXIsFourThickStrokesWithAnEmptyFill) {
    std::unique_ptr<Path> x = built(kCornerX);
    EXPECT_EQ(x->name, "Hihat");
    EXPECT_TRUE(x->fill);
    EXPECT_TRUE(x->fill_vertices.empty());  // every contour is a single line
    EXPECT_EQ(x->stroke_starts.size(), 4u);
    EXPECT_EQ(x->stroke_vertices.size(), 4u * 2 * 9);  // one quad each
    EXPECT_EQ(x->stroke_width, 10.0f);
    // The first stroke joins 0.1 to 0.3 of the area.
    EXPECT_EQ(x->points[0], 128.0);
    EXPECT_EQ(x->points[1], 72.0);
    EXPECT_EQ(x->points[3], 384.0);
    EXPECT_EQ(x->points[4], 216.0);
}

TEST(DrumShapes, TheFrameRunsAtOneTwentiethFromEveryBorder) {
    std::unique_ptr<Path> frame = built(kBorderFrame);
    EXPECT_FALSE(frame->fill);
    EXPECT_TRUE(frame->stroke);
    // Four corners and the close's point a hair from the first.
    const std::vector<double> corners = {64, 36, 1216, 36, 1216, 684, 64, 684};
    ASSERT_EQ(frame->points.size(), 15u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(frame->points[i * 3], corners[i * 2]);
        EXPECT_EQ(frame->points[i * 3 + 1], corners[i * 2 + 1]);
    }
    // Four quads and four bevels: closed, with no notch.
    EXPECT_EQ(frame->stroke_vertices.size(), 4u * 3 * 9);
}

TEST(DrumShapes, TheSnareShapeIsARedFillWithCurvedSidesUnderAWhiteOutline) {
    std::unique_ptr<Path> snare = built(kSnareShape);
    EXPECT_EQ(snare->name, "Snare");
    EXPECT_EQ(snare->fill_colour.x, 1.0f);
    EXPECT_EQ(snare->fill_colour.y, 0.0f);
    EXPECT_EQ(snare->stroke_colour.y, 1.0f);
    // Its area lies between the diamond through the side middles (2 * 256 *
    // 144) and the box of the control points (512 * 288).
    double area = 0;
    const std::vector<float>& v = snare->fill_vertices;
    for (size_t i = 0; i + 8 < v.size(); i += 9)
        area += std::fabs((v[i + 3] - v[i]) * (v[i + 7] - v[i + 1]) - (v[i + 6] - v[i]) * (v[i + 4] - v[i + 1])) / 2;
    EXPECT_GT(area, 2 * 256 * 144);
    EXPECT_LT(area, 512 * 288);
    // Its flattened sides stay within the control box.
    for (size_t i = 0; i < snare->points.size(); i += 3) {
        EXPECT_GE(snare->points[i], 384 - 0.01);
        EXPECT_LE(snare->points[i], 896 + 0.01);
        EXPECT_GE(snare->points[i + 1], 216 - 0.01);
        EXPECT_LE(snare->points[i + 1], 504 + 0.01);
    }
}

}  // namespace
