// Paths drawn by a vector engine into small render targets and read back:
// what a fill covers (holes, a self-crossing star under the odd rule, a
// curved shape), the outline over the fill, where the engine's frame puts
// the drawing, and the state it leaves.
#include <GL/glew.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/vectorengine/path.h"
#include "util/vectorengine/vectorengine.h"

namespace {

using test_support::Frame;
using test_support::GlTest;

const vec3 white(1, 1, 1);
const vec3 red(1, 0, 0);
const vec3 green(0, 1, 0);

// A cleared target bound while the object lives. The GL frame reads bottom
// row first; `top(x, y)` probes with y counted from the top, as the engine's
// drawing units run.
class Canvas {
public:
    Canvas(int width, int height) : fbo_(width, height, FBO_TYPE_RGBA8, 0) {
        glClearColor(0, 0, 0, 0);
        fbo_.push(true);
    }
    ~Canvas() { fbo_.pop(); }
    Frame read() const { return Frame(fbo_.get_width(), fbo_.get_height()); }

private:
    FBO fbo_;
};

test_support::Rgba top(const Frame& f, int x, int y) { return f.at(x, f.height() - 1 - y); }
bool is(const test_support::Rgba& p, const vec3& c) {
    return p.r == int(c.x * 255) && p.g == int(c.y * 255) && p.b == int(c.z * 255);
}

// A path filled red, no outline.
std::unique_ptr<Path> filled(const char* name) { return std::make_unique<Path>(name, false, true, &white, &red); }

void square(Path& p, float x0, float y0, float x1, float y1) {
    p.move_to(x0, y0);
    p.line_to(x1, y0);
    p.line_to(x1, y1);
    p.line_to(x0, y1);
    p.close();
}

// A circle of four cubics (the usual 0.5523 control length).
void circle(Path& p, float cx, float cy, float r) {
    const float k = 0.5523f * r;
    p.move_to(cx + r, cy);
    p.cubic_to(cx + r, cy + k, cx + k, cy + r, cx, cy + r);
    p.cubic_to(cx - k, cy + r, cx - r, cy + k, cx - r, cy);
    p.cubic_to(cx - r, cy - k, cx - k, cy - r, cx, cy - r);
    p.cubic_to(cx + k, cy - r, cx + r, cy - k, cx + r, cy);
    p.close();
}

// Draws the paths with an engine whose drawing area matches the canvas
// pixel for pixel.
Frame draw_on_canvas(int size, const std::vector<Path*>& paths, const std::string& keep_as) {
    Canvas canvas(size, size);
    VectorEngine engine;
    engine.set_size(size, size);
    for (Path* p : paths) engine.add_path(p);
    engine.draw();
    EXPECT_NO_GL_ERROR();
    Frame f = canvas.read();
    f.keep(keep_as);
    return f;
}

TEST_F(GlTest, AFillCoversItsAreaAndLeavesItsHoleOpen) {
    auto ring = filled("ring");
    square(*ring, 20, 20, 140, 140);
    square(*ring, 60, 60, 100, 100);
    Frame f = draw_on_canvas(160, {ring.get()}, "vector-fill-hole");
    EXPECT_EQ(f.count(255, 0, 0), 120 * 120 - 40 * 40);
    EXPECT_TRUE(is(top(f, 40, 40), red));
    EXPECT_TRUE(is(top(f, 120, 80), red));
    EXPECT_TRUE(f.is_black(80, 80));  // the hole
    EXPECT_TRUE(f.is_black(10, 10));  // outside
}

TEST_F(GlTest, ASelfCrossingStarFillsItsPointsAndNotItsMiddle) {
    auto star = filled("star");
    const float R = 70;
    for (int i = 0; i < 5; ++i) {
        const float a = static_cast<float>(-M_PI / 2 + i * 4 * M_PI / 5);
        const float x = 80 + R * std::cos(a), y = 80 + R * std::sin(a);
        if (i == 0)
            star->move_to(x, y);
        else
            star->line_to(x, y);
    }
    star->close();
    Frame f = draw_on_canvas(160, {star.get()}, "vector-star");
    const double r = R * 0.3819660112501051;
    const double points = 5 * R * r * std::sin(M_PI / 5) - 2.5 * r * r * std::sin(2 * M_PI / 5);
    EXPECT_NEAR(f.count(255, 0, 0), points, points * 0.03);
    EXPECT_TRUE(f.is_black(80, 80));                 // the middle, enclosed twice
    EXPECT_TRUE(is(top(f, 80, 80 - 60), red));       // the top point
    EXPECT_TRUE(is(top(f, 80 - 50, 80 - 14), red));  // the upper left point
}

TEST_F(GlTest, ACurvedShapeFillsTheAreaItsCurvesEnclose) {
    auto disc = filled("disc");
    circle(*disc, 80, 80, 60);
    Frame f = draw_on_canvas(160, {disc.get()}, "vector-disc");
    const double area = M_PI * 60 * 60;
    EXPECT_NEAR(f.count(255, 0, 0), area, area * 0.01);
    // Inside and outside near the rim, on a diagonal where the curve lies
    // between the cubic's ends.
    const int in = static_cast<int>(80 + 57 / std::sqrt(2.0)), out = static_cast<int>(80 + 63 / std::sqrt(2.0));
    EXPECT_TRUE(is(top(f, in, in), red));
    EXPECT_TRUE(f.is_black(out, out));
    EXPECT_TRUE(f.is_black(160 - out, 160 - out));
}

TEST_F(GlTest, TheOutlineIsDrawnOverTheFillAndHalfItsWidthEachSide) {
    Path shape("framed", true, true, &white, &red);
    square(shape, 40, 40, 120, 120);
    Frame f = draw_on_canvas(160, {&shape}, "vector-outline-over-fill");
    EXPECT_TRUE(is(top(f, 80, 80), red));
    EXPECT_TRUE(is(top(f, 80, 41), white));   // on the edge, inside
    EXPECT_TRUE(is(top(f, 80, 37), white));   // outside, within 5
    EXPECT_TRUE(is(top(f, 80, 46), red));     // inside, past 5
    EXPECT_TRUE(f.is_black(80, 160 - 1 - 33));
    // The corners are bevelled, not notched: the closed square has every
    // outer corner but the bevel's cut.
    EXPECT_TRUE(is(top(f, 38, 80), white));
    EXPECT_TRUE(is(top(f, 120, 122), white));
}

TEST_F(GlTest, TheFrameMapsTheDrawingAreaOntoTheViewport) {
    struct Case {
        const char* name;
        unsigned width, height;
        float scale, position;
        float x0, y0, x1, y1;          // a square in drawing units
        int px, py;                    // a pixel (from the top) it must cover
        int outside_x, outside_y;      // and one it must not
    };
    // The canvas is 128 x 72.
    const Case cases[] = {
        {"the area's centre is the viewport's", 1280, 720, 1, 0, 630, 350, 650, 370, 64, 36, 60, 30},
        {"its origin the top left corner", 1280, 720, 1, 0, 0, 0, 20, 20, 0, 0, 4, 4},
        {"y runs down", 1280, 720, 1, 0, 0, 700, 20, 720, 0, 71, 0, 60},
        {"a quarter scale shows four times the area", 200, 200, 0.25f, 0, 0, 0, 400, 400, 60, 30, 70, 40},
        {"a position of one half moves the origin to the centre", 200, 200, 1, 0.5f, 0, 0, 20, 20, 66, 38, 60, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = filled(c.name);
        square(*p, c.x0, c.y0, c.x1, c.y1);
        Canvas canvas(128, 72);
        VectorEngine engine;
        engine.set_size(c.width, c.height);
        engine.set_scale(c.scale, c.scale);
        engine.set_position(c.position, c.position);
        engine.add_path(p.get());
        engine.draw();
        EXPECT_NO_GL_ERROR();
        Frame f = canvas.read();
        EXPECT_TRUE(is(top(f, c.px, c.py), red));
        EXPECT_TRUE(f.is_black(c.outside_x, f.height() - 1 - c.outside_y));
    }
}

TEST_F(GlTest, TheFrameSpansTheAreaDividedByTheScale) {
    VectorEngine engine;
    engine.set_scale(0.25f, 0.25f);
    VectorFrame f = engine.frame();
    EXPECT_EQ(f.width, 800.0f);
    EXPECT_EQ(f.height, 800.0f);
    engine.set_size(1280, 720);
    engine.set_scale(1, 2);
    engine.set_position(0.5f, -0.25f);
    f = engine.frame();
    EXPECT_EQ(f.width, 1280.0f);
    EXPECT_EQ(f.height, 360.0f);
    EXPECT_EQ(f.shift_x, 640.0f);
    EXPECT_EQ(f.shift_y, -90.0f);
}

TEST_F(GlTest, PathsAddedLaterAreDrawnOnTop) {
    auto below = filled("below");
    square(*below, 0, 0, 100, 100);
    Path above("above", false, true, &white, &green);
    square(above, 50, 50, 150, 150);
    Frame f = draw_on_canvas(160, {below.get(), &above}, "vector-order");
    EXPECT_TRUE(is(top(f, 75, 75), green));
    EXPECT_TRUE(is(top(f, 25, 25), red));
}

TEST_F(GlTest, AnEngineWithoutPathsStillSetsItsStateAndRestoresTheMatrices) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 2, 0, 2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 4, 5);
    glMatrixMode(GL_TEXTURE);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

    VectorEngine engine;
    engine.draw();
    EXPECT_NO_GL_ERROR();

    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint program = 0, mode = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(static_cast<GLuint>(program), static_cast<GLuint>(VectorEngine::shader().get_program()));
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_TEXTURE);
    float after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_EQ(std::vector<float>(after, after + 16), std::vector<float>(projection, projection + 16));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::vector<float>(after, after + 16), std::vector<float>(modelview, modelview + 16));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(GlTest, EditedSegmentsShowAtTheNextDrawAndOnlyThen) {
    Path arc("arc", true, false, &white, &red);
    arc.move_to(0, 120);
    arc.cubic_to(40, 120, 120, 120, 160, 120);
    Canvas canvas(160, 160);
    VectorEngine engine;
    engine.set_size(160, 160);
    engine.add_path(&arc);
    engine.draw();
    Frame flat = canvas.read();
    EXPECT_TRUE(is(top(flat, 80, 120), white));
    EXPECT_TRUE(flat.is_black(80, 160 - 1 - 60));

    // A segment added without get_segments changes nothing drawn.
    arc.line_to(80, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    engine.draw();
    EXPECT_TRUE(canvas.read() == flat);

    // Raised control points bend the line up to y 60 (the cubic's top lies
    // three quarters of the way to them).
    auto* cubic = dynamic_cast<Vectors::SegmentCubic*>(arc.get_segments()[1]);
    ASSERT_NE(cubic, nullptr);
    cubic->c1.y = 40;
    cubic->c2.y = 40;
    glClear(GL_COLOR_BUFFER_BIT);
    engine.draw();
    EXPECT_NO_GL_ERROR();
    Frame raised = canvas.read();
    raised.keep("vector-raised-arc");
    EXPECT_TRUE(is(top(raised, 80, 60), white));
    EXPECT_TRUE(raised.is_black(80, 160 - 1 - 120));

    // Invisible, it draws nothing.
    arc.set_visible(false);
    glClear(GL_COLOR_BUFFER_BIT);
    engine.draw();
    EXPECT_EQ(canvas.read().brightest(), 0);
}

}  // namespace
