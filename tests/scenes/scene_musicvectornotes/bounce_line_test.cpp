// The bass line's arcs: where they lie for a number of notes and how the
// note states raise them.
#include "support/test_support.h"

#include <algorithm>

#include "scenes/scene_musicvectornotes/bounce_line.h"
#include "util/vectorengine/path.h"

namespace {

TEST(BounceLine, ArcHalfWidthIsTwoHundredthsOfTheWidthInSinglePrecision) {
    EXPECT_EQ(kArcHalfWidth, 25.599998f);
}

TEST(BounceLine, ArcsShareTheWidthIntoTwoMorePartsThanNotes) {
    const struct {
        int arcs, i;
        float end_x, middle;
    } cases[] = {
        {3, 1, 256, 128}, {3, 2, 512, 384}, {3, 3, 768, 640},
        {8, 1, 128, 64},  {8, 8, 1024, 960}, {1, 1, 1280.0f / 3, 640.0f / 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arcs << " arcs, arc " << c.i);
        Vectors::SegmentCubic arc = bounce_arc(c.i, c.arcs);
        EXPECT_FLOAT_EQ(arc.end.x, c.end_x);
        EXPECT_FLOAT_EQ(arc.c1.x, c.middle - kArcHalfWidth);
        EXPECT_FLOAT_EQ(arc.c2.x, c.middle + kArcHalfWidth);
        for (float y : {arc.c1.y, arc.c2.y, arc.end.y}) EXPECT_EQ(y, kBounceBaseline);
    }
}

// The highest (smallest y) flattened point with x in [x0, x1].
double top_between(const Path& p, double x0, double x1) {
    double top = 1e9;
    for (size_t i = 0; i < p.points.size(); i += 3)
        if (p.points[i] >= x0 && p.points[i] <= x1) top = std::min(top, p.points[i + 1]);
    return top;
}

TEST(BounceLine, ThreeNotesCoverTheLeftThreeFifthsAndCloseAlongTheBaseline) {
    std::unique_ptr<Path> line = make_bounce_path(3);
    EXPECT_EQ(line->name, "Bounce");
    EXPECT_TRUE(line->stroke);
    EXPECT_FALSE(line->fill);
    EXPECT_EQ(line->segment_count(), 5u);  // move, three arcs, close
    ASSERT_TRUE(line->rebuild());
    // Flat: every point on the baseline, none past the last arc's end.
    double right = 0;
    for (size_t i = 0; i < line->points.size(); i += 3) {
        EXPECT_NEAR(line->points[i + 1], kBounceBaseline, 0.01);
        right = std::max(right, line->points[i]);
    }
    // The line reaches the last arc's end, and the close runs back from
    // there to the start.
    EXPECT_EQ(right, 768);
    EXPECT_NEAR(line->points[line->points.size() - 3], 0, 1e-6);
}

TEST(BounceLine, SoundingNotesRaiseTheirArcsOnly) {
    std::unique_ptr<Path> line = make_bounce_path(3);
    set_arc_heights(line->get_segments(), {false, false, true});
    ASSERT_TRUE(line->rebuild());
    // (Each arc starts from where the one before stopped, a little short of
    // its end, so the arcs are looked at away from their ends.)
    EXPECT_NEAR(top_between(*line, 60, 200), kBounceBaseline, 0.01);
    EXPECT_NEAR(top_between(*line, 330, 440), kBounceBaseline, 0.01);
    EXPECT_NEAR(top_between(*line, 560, 720), 270, 3);  // the raised arc's top
    // The raised last arc still comes down to its end on the baseline, where
    // the close begins: no slanted edge back to the start.
    const size_t n = line->points.size();
    EXPECT_EQ(line->points[n - 6], 768);
    EXPECT_EQ(line->points[n - 5], kBounceBaseline);

    // And lay them flat again when they stop.
    set_arc_heights(line->get_segments(), {false, false, false});
    ASSERT_TRUE(line->rebuild());
    EXPECT_NEAR(top_between(*line, 1, 767), kBounceBaseline, 0.01);
}

TEST(BounceLine, MoreStatesThanArcsTouchNothingElse) {
    std::unique_ptr<Path> line = make_bounce_path(2);
    std::vector<Vectors::Segment*> segments = line->get_segments();
    set_arc_heights(segments, {true, true, true, true, true});
    EXPECT_EQ(static_cast<Vectors::SegmentCubic*>(segments[2])->c1.y, kBounceRaised);
    EXPECT_EQ(segments[3]->GetType(), Vectors::SEGMENT_CLOSE);
    ASSERT_TRUE(line->rebuild());
}

}  // namespace
