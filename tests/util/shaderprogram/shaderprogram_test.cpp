#include "util/shaderprogram/shaderprogram.h"

#include <gtest/gtest.h>

namespace {

TEST(ShaderProgramText, AttributeTokensBecomeLocations) {
    const struct {
        const char* source;
        const char* expected;
    } cases[] = {
        {"layout (location = VERTEX_ATTRIB_POSITION) in vec3 Position;",
         "layout (location = 0) in vec3 Position;"},
        {"VERTEX_ATTRIB_NORMAL VERTEX_ATTRIB_TEXCOORD VERTEX_ATTRIB_TANGENT", "1 2 3"},
        // Plain text: comments and following letters are no boundary.
        {"// uses VERTEX_ATTRIB_NORMAL here", "// uses 1 here"},
        {"VERTEX_ATTRIB_TEXCOORDx", "2x"},
        {"VERTEX_ATTRIB_POSITIONVERTEX_ATTRIB_POSITION", "00"},
        {"no tokens", "no tokens"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShaderProgram::substitute_attribs(c.source), c.expected);
}

TEST(ShaderProgramText, PlainModernVersionsCompileAsCompatibility) {
    const struct {
        const char* source;
        const char* expected;
    } cases[] = {
        {"#version 420\nvoid main(){}\n", "#version 420 compatibility\nvoid main(){}\n"},
        {"#version 150\r\nx", "#version 150 compatibility\r\nx"},
        {"#version 420\n#extension GL_EXT_gpu_shader4 : enable\n",
         "#version 420 compatibility\n#extension GL_EXT_gpu_shader4 : enable\n"},
        {"#version 420", "#version 420 compatibility"},
        // Old versions have no profiles; explicit profiles stay.
        {"#version 120\nx", "#version 120\nx"},
        {"#version 330 core\nx", "#version 330 core\nx"},
        {"#version 420 compatibility\nx", "#version 420 compatibility\nx"},
        // Only a first line counts.
        {"// comment\n#version 420\n", "// comment\n#version 420\n"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ShaderProgram::driver_source(c.source), c.expected);
}

}  // namespace
