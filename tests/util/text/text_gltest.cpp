// Text in both font types drawn into render targets and read back: where the
// glyphs land and how large they are, the shared programs, and the failures.
#include "support/gl_context.h"

#include <FTGL/ftgl.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "support/test_support.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/text/text.h"

namespace {

using test_support::GlTest;

const std::string courier = test_support::source_path("data/common/fonts/courier_new.ttf");
const std::string geosans = test_support::source_path("data/common/fonts/GeosansLight.ttf");

// The smallest rectangle holding every pixel whose red channel is over half.
struct Box {
    int left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
    bool empty() const { return right < 0; }
    int width() const { return right - left + 1; }
    int height() const { return top - bottom + 1; }
};

Box lit_box(int width, int height) {
    const std::vector<unsigned char> pixels = test_support::read_pixels(0, 0, width, height);
    Box box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[(static_cast<size_t>(y) * width + x) * 4] > 127) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.bottom = std::min(box.bottom, y);
                box.top = std::max(box.top, y);
            }
    return box;
}

// A cleared target of that size, bound while the object lives, with the
// text sized to it and its GL state set.
class TextTarget {
public:
    TextTarget(Text& text, int width, int height) : fbo_(width, height, FBO_TYPE_RGBA8, 0) {
        fbo_.push(true);
        text.Reshape(width, height);
        text.set_gl_state();
    }
    ~TextTarget() { fbo_.pop(); }
    TextTarget(const TextTarget&) = delete;
    TextTarget& operator=(const TextTarget&) = delete;

private:
    FBO fbo_;
};

// Prints into a cleared target of that size and returns the lit box.
Box print_into_target(Text& text, int width, int height, float x, float y, float stretch,
                      const char* string) {
    TextTarget target(text, width, height);
    text.print_at(x, y, stretch, "%s", string);
    EXPECT_NO_GL_ERROR();
    return lit_box(width, height);
}

TEST_F(GlTest, PrintAtPlacesTheBaselineStartAndScalesByTheTargetWidth) {
    struct Target {
        int width, height;
        float scale;  // width / 1280
    };
    const Target targets[] = {{1920, 1080, 1.5f}, {640, 360, 0.5f}};
    const struct {
        const char* file;
        int type;
    } fonts[] = {{courier.c_str(), Text::FONT_TYPE_BUFFER},
                 {geosans.c_str(), Text::FONT_TYPE_BUFFER},
                 {courier.c_str(), Text::FONT_TYPE_OUTLINE},
                 {geosans.c_str(), Text::FONT_TYPE_OUTLINE}};
    for (const auto& f : fonts) {
        Text text(f.file, 48, f.type);
        // The glyph's own box at face size, in pixels from the pen position.
        const FTBBox glyph = text.font->BBox("H");
        ASSERT_GT(glyph.Upper().Yf() - glyph.Lower().Yf(), 20.0f);
        for (const Target& t : targets) {
            SCOPED_TRACE(testing::Message() << f.file << " type " << f.type << " on " << t.width << "x"
                                            << t.height);
            const Box box = print_into_target(text, t.width, t.height, 0.5f, 0.5f, 1.0f, "H");
            ASSERT_FALSE(box.empty());
            // The pen starts at (960, 540) or (320, 180); the glyph's box is
            // scaled by 1.5 or 0.5 around it. A pixel of slack for coverage
            // at the edges, and one face unit of outline outset.
            const float slack = 1.0f + t.scale;
            const float origin_x = t.width * 0.5f, origin_y = t.height * 0.5f;
            EXPECT_NEAR(box.left, origin_x + glyph.Lower().Xf() * t.scale, slack);
            EXPECT_NEAR(box.right + 1, origin_x + glyph.Upper().Xf() * t.scale, slack);
            EXPECT_NEAR(box.bottom, origin_y + glyph.Lower().Yf() * t.scale, slack);
            EXPECT_NEAR(box.top + 1, origin_y + glyph.Upper().Yf() * t.scale, slack);
        }
        // Stretching widens the text and keeps its height.
        const Box plain = print_into_target(text, 640, 360, 0.25f, 0.25f, 1.0f, "HH");
        const Box wide = print_into_target(text, 640, 360, 0.25f, 0.25f, 2.0f, "HH");
        EXPECT_NEAR(wide.width(), 2 * plain.width(), 2);
        EXPECT_NEAR(wide.height(), plain.height(), 1);
        EXPECT_NEAR(wide.left - 160, 2 * (plain.left - 160), 1);
    }
}

TEST_F(GlTest, GlyphsTakeTheCurrentColour) {
    Text text(courier, 48, Text::FONT_TYPE_BUFFER);
    TextTarget target(text, 320, 180);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    text.print_at(0.1f, 0.3f, 1.0f, "%s", "MMMM");
    const std::vector<unsigned char> pixels = test_support::read_pixels(0, 0, 320, 180);
    int green = 0, other = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 1] > 200) ++green;
        if (pixels[i] != 0 || pixels[i + 2] != 0) ++other;
    }
    EXPECT_GT(green, 20);
    EXPECT_EQ(other, 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(GlTest, PrintDrawsAtTheModelViewOriginInFaceUnits) {
    Text text(courier, 32, Text::FONT_TYPE_BUFFER);
    TextTarget target(text, 320, 180);
    glTranslatef(100.0f, 50.0f, 0.0f);
    text.print("%c", 'H');
    const FTBBox glyph = text.font->BBox("H");
    const Box box = lit_box(320, 180);
    EXPECT_NEAR(box.left, 100.0f + glyph.Lower().Xf(), 1.5f);
    EXPECT_NEAR(box.bottom, 50.0f + glyph.Lower().Yf(), 1.5f);
    EXPECT_NEAR(box.top + 1, 50.0f + glyph.Upper().Yf(), 1.5f);
    // A new face size takes effect at the next print.
    glClear(GL_COLOR_BUFFER_BIT);
    text.set_size(64);
    text.print("H");
    const Box larger = lit_box(320, 180);
    EXPECT_NEAR(larger.height(), 2 * box.height(), 2);
    EXPECT_NEAR(larger.top + 1, 50.0f + text.font->BBox("H").Upper().Yf(), 1.5f);
    // A null format prints nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    text.print(nullptr);
    text.print_at(0.5f, 0.5f, 1.0f, nullptr);
    EXPECT_TRUE(lit_box(320, 180).empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(GlTest, TextLongerThanTheBufferIsCutToIt) {
    // 300 characters of a monospaced font would fit into the target; only
    // the first 255 are drawn.
    Text text(courier, 11, Text::FONT_TYPE_BUFFER);
    TextTarget target(text, 2048, 32);
    glTranslatef(0.0f, 10.0f, 0.0f);
    const std::string long_text(300, 'M');
    text.print("%s", long_text.c_str());
    const float kept = text.font->Advance(long_text.substr(0, Text::buffer_size - 1).c_str());
    ASSERT_LT(text.font->Advance(long_text.c_str()), 2048 + 1.0f);
    const Box box = lit_box(2048, 32);
    ASSERT_FALSE(box.empty());
    EXPECT_NEAR(box.right + 1, kept, 2.0f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(GlTest, FontsOfOneTypeShareOneProgram) {
    Text first(courier, 48, Text::FONT_TYPE_BUFFER);
    Text second(geosans, 24, Text::FONT_TYPE_BUFFER);
    Text outline(courier, 48, Text::FONT_TYPE_OUTLINE);
    first.use_shader();
    ShaderProgram* buffer_program = &Text::shader(Text::FONT_TYPE_BUFFER);
    second.use_shader();
    EXPECT_EQ(&Text::shader(Text::FONT_TYPE_BUFFER), buffer_program);
    GLint bound = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), buffer_program->get_program());

    outline.use_shader();
    ShaderProgram* outline_program = &Text::shader(Text::FONT_TYPE_OUTLINE);
    EXPECT_NE(outline_program, buffer_program);
    glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), outline_program->get_program());
    first.use_shader();
    outline.use_shader();
    // Nothing is built twice.
    EXPECT_EQ(&Text::shader(Text::FONT_TYPE_BUFFER), buffer_program);
    EXPECT_EQ(&Text::shader(Text::FONT_TYPE_OUTLINE), outline_program);
    // Each program keeps its builder, which still gives the program's sources.
    for (int type : {Text::FONT_TYPE_BUFFER, Text::FONT_TYPE_OUTLINE}) {
        ShaderConstructor* builder = Text::shader(type).get_constructor();
        ASSERT_NE(builder, nullptr);
        EXPECT_EQ(builder->get_name(), "Text");
        EXPECT_EQ(builder->get_fragment_source(), Text::make_shader_constructor(type)->get_fragment_source());
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(GlTest, TextFailures) {
    test_support::TempDir dir;
    const std::string not_a_font = dir.file("notes.ttf");
    std::ofstream(not_a_font) << "This is a text file, not a TrueType font.\n";

    // The file and the reason: the system's, or FreeType's.
    EXPECT_FATAL(Text(dir.file("missing.ttf"), 48, 0),
                 "Failed to open font file " + dir.file("missing.ttf") + ": No such file or directory");
    EXPECT_FATAL(Text(not_a_font, 48, 0), "Failed to create font from " + not_a_font + ": FreeType: invalid stream operation");
    EXPECT_FATAL(Text(not_a_font, 48, 1), "Failed to create font from " + not_a_font + ": FreeType: invalid stream operation");
    EXPECT_FATAL(Text(courier, 48, 2), "Unknown font type 2");
    EXPECT_FATAL(Text(courier, 48, -1), "Unknown font type -1");
    // The file is read before the type is looked at.
    EXPECT_FATAL(Text(dir.file("missing.ttf"), 48, 7),
                 "Failed to open font file " + dir.file("missing.ttf") + ": No such file or directory");

    // Printing needs a size of at least 1 x 1 from Reshape.
    Text text(courier, 48, Text::FONT_TYPE_BUFFER);
    EXPECT_EQ(text.width, -1);
    EXPECT_EQ(text.height, -1);
    text.set_size(24);  // allowed before Reshape
    const char* const print_message = "Can't print before calling Text::Reshape() at least once!";
    const char* const state_message = "Can't set gl state before calling Text::Reshape() at least once!";
    const struct {
        int width, height;
    } sizes[] = {{-1, -1}, {0, 360}, {640, 0}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height);
        text.Reshape(s.width, s.height);
        EXPECT_FATAL(text.print("%d", 1), print_message);
        EXPECT_FATAL(text.print(nullptr), print_message);
        EXPECT_FATAL(text.print_at(0.5f, 0.5f, 1.0f, "x"), print_message);
        EXPECT_FATAL(text.print_at(0.5f, 0.5f, 1.0f, nullptr), print_message);
        EXPECT_FATAL(text.set_gl_state(), state_message);
    }

    // A type changed after construction has no program.
    text.font_type = 3;
    EXPECT_FATAL_CONTAINS(text.use_shader(), "Invalid font type at ");
    text.font_type = Text::FONT_TYPE_BUFFER;
    EXPECT_NO_GL_ERROR();
}

}  // namespace
