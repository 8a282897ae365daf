// The parts of Text that need no GL context: the formatting buffer and the
// sources of the two shared programs.
#include "util/text/text.h"

#include <gtest/gtest.h>

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

}  // namespace
