// The parts of Text that need no GL context: the formatting buffer, the
// sources of the two shared programs, and the area a line would cover.
#include "util/text/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/test_support.h"
#include "util/shaderprogram/shaderconstructor.h"

namespace {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buffer[Text::buffer_size];
    // Poison the buffer so a missing terminator shows.
    for (char& c : buffer) c = '#';
    va_list args;
    va_start(args, fmt);
    Text::format_into(buffer, fmt, args);
    va_end(args);
    EXPECT_NE(std::string(buffer, sizeof buffer).find('\0'), std::string::npos);
    return buffer;
}

TEST(Text, FormattedTextIsCutToTheBuffer) {
    const std::string long_text(1000, 'x');
    const std::string fits(255, 'y');
    const struct {
        std::string got;
        std::string expected;
    } cases[] = {
        {format("Frame %d at %.2f", 42, 1.5), "Frame 42 at 1.50"},
        {format("%s", ""), ""},
        {format("100%%"), "100%"},
        {format("%s", fits.c_str()), fits},
        {format("%s!", fits.c_str()), fits},
        {format("%s", long_text.c_str()), std::string(255, 'x')},
        {format("%s and %s", long_text.c_str(), long_text.c_str()), std::string(255, 'x')},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(Text, ProgramSourcesByFontType) {
    const std::string vertex_body =
        "void main()\n{\n"
        "\tgl_TexCoord[0] = gl_MultiTexCoord0;\n"
        "\tgl_Position = ftransform();\n"
        "\tgl_FrontColor = gl_Color;\n";
    auto buffer = Text::make_shader_constructor(Text::FONT_TYPE_BUFFER);
    auto outline = Text::make_shader_constructor(Text::FONT_TYPE_OUTLINE);
    for (const auto* builder : {buffer.get(), outline.get()}) {
        EXPECT_EQ(builder->get_name(), "Text");
        EXPECT_EQ(builder->get_vertex_source().rfind("#version 120\n", 0), 0u);
        EXPECT_NE(builder->get_vertex_source().find(vertex_body), std::string::npos);
    }
    const std::string buffer_fragment = buffer->get_fragment_source();
    EXPECT_NE(buffer_fragment.find("uniform sampler2D tex;\n"), std::string::npos);
    EXPECT_NE(buffer_fragment.find(
                  "\tgl_FragColor = texture2D( tex, gl_TexCoord[0].st ).a * gl_Color;\n"),
              std::string::npos);
    const std::string outline_fragment = outline->get_fragment_source();
    EXPECT_EQ(outline_fragment.find("sampler2D"), std::string::npos);
    EXPECT_NE(outline_fragment.find("\tgl_FragColor = gl_Color;\n"), std::string::npos);

    EXPECT_FATAL_CONTAINS(Text::make_shader_constructor(2), "Invalid font type at ");
    EXPECT_FATAL_CONTAINS(Text::make_shader_constructor(-1), "text.cpp:");
}

// Track values place the title lines: a place or stretch that is NaN or
// infinite covers no area (it has no pixel, and turning it into one is
// undefined), and one far off the target gives a box off the target whose
// sides still fit the integers.
TEST(Text, AreaOfTextPlacedByAnyValue) {
    Text text(test_support::source_path("data/common/fonts/courier_new.ttf"), 48, Text::FONT_TYPE_BUFFER);
    const int width = 1280, height = 720;
    text.Reshape(width, height);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    enum Expect { kNone, kOnTarget, kOffTarget };
    const struct {
        const char* name;
        float x, y, stretch;
        Expect expect;
    } cases[] = {
        {"in the middle", 0.5f, 0.5f, 1.0f, kOnTarget},
        {"mirrored", 0.5f, 0.5f, -1.0f, kOnTarget},
        {"x NaN", nan, 0.5f, 1.0f, kNone},
        {"y NaN", 0.5f, nan, 1.0f, kNone},
        {"stretch NaN", 0.5f, 0.5f, nan, kNone},
        {"x infinite", inf, 0.5f, 1.0f, kNone},
        {"y below everything", 0.5f, -inf, 1.0f, kNone},
        {"stretch infinite", 0.5f, 0.5f, inf, kNone},
        {"as far right as a float goes", std::numeric_limits<float>::max(), 0.5f, 1.0f, kNone},
        {"far right", 1e30f, 0.5f, 1.0f, kOffTarget},
        {"far below", 0.5f, -1e30f, 1.0f, kOffTarget},
        {"stretched past every integer", 0.5f, 0.5f, 1e30f, kOnTarget},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ViewportRect area = text.area_at(c.x, c.y, c.stretch, "Wembrel");
        EXPECT_GE(area.width, 0);
        EXPECT_GE(area.height, 0);
        const int64_t right = static_cast<int64_t>(area.x) + area.width;
        const int64_t top = static_cast<int64_t>(area.y) + area.height;
        EXPECT_LE(right, INT32_MAX);
        EXPECT_LE(top, INT32_MAX);
        const bool on_target = area.width > 0 && area.height > 0 && area.x < width && right > 0 &&
                               area.y < height && top > 0;
        switch (c.expect) {
            case kNone:
                EXPECT_EQ(area.width, 0);
                EXPECT_EQ(area.height, 0);
                break;
            case kOnTarget:
                // The box holds the pen's start at (x * width, y * height).
                EXPECT_TRUE(on_target);
                EXPECT_LE(area.x, c.x * width);
                EXPECT_GT(right, c.x * width);
                EXPECT_LE(area.y, c.y * height);
                EXPECT_GT(top, c.y * height);
                break;
            case kOffTarget:
                EXPECT_FALSE(on_target);
                break;
        }
    }
}

}  // namespace
