#include "util/shaderprogram/shaderprogram.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/math/vector.h"
#include "util/shaderprogram/shaderconstructor.h"

namespace {

using test_support::recorded_boxes;

class ShaderProgramTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        test_support::clear_boxes();
        DataFile::set_mode(DataFileMode::Plain);
    }

    void write(const std::string& relative, const std::string& text) {
        const std::string path = dir.file(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    test_support::TempDir dir;
};

const char kVertex[] =
    "#version 420\n"
    "layout (location = VERTEX_ATTRIB_POSITION) in vec3 Position;\n"
    "layout (location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;\n"
    "uniform mat4 ProjectionMatrix;\n"
    "out vec2 TexCoordFrag;\n"
    "void main() { TexCoordFrag = TexCoord; gl_Position = ProjectionMatrix * vec4(Position, 1.0); }\n";
const char kFragment[] =
    "#version 420\n"
    "uniform sampler2D Texture;\n"
    "in vec2 TexCoordFrag;\n"
    "void main() { gl_FragColor = texture2D(Texture, TexCoordFrag); }\n";
const char kBrokenVertex[] = "#version 420\nvoid main() { gl_Position = undeclared; }\n";

TEST_F(ShaderProgramTest, EveryBuiltInShaderCompilesAndLinks) {
    using Factory = std::unique_ptr<ShaderConstructor> (*)(const std::string&);
    const Factory factories[] = {make_shader_texture2d,      make_shader_texture_color2d,
                                 make_shader_texture3d,      make_shader_color2d,
                                 make_shader_color3d,        make_shader_vertex_color3d,
                                 make_shader_blur};
    for (Factory factory : factories) {
        ShaderProgram program(factory("BuiltIn"));
        EXPECT_NE(program.get_program(), 0u);
        program.bind();
        EXPECT_NO_GL_ERROR();
    }
    EXPECT_TRUE(recorded_boxes().empty());
}

TEST_F(ShaderProgramTest, FilesFallBackToTheCommonFolderEachOnItsOwn) {
    write("data/common/shaders/fallback.vert", kVertex);
    write("data/scenes/own.frag", kFragment);
    test_support::ScopedChdir in(dir.path());
    ShaderProgram program("fallback.vert", "data/scenes/own.frag");
    EXPECT_NO_GL_ERROR();
    program.bind();
    // Uniform look-ups by name; an unknown name sets nothing and is no error.
    EXPECT_TRUE(program.set_uniform_matrix4fv("ProjectionMatrix", std::vector<float>(16, 0).data(), 1,
                                              false));
    EXPECT_FALSE(program.set_uniform_matrix4fv("Missing", std::vector<float>(16, 0).data(), 1, false));
    program.set_uniform1f("Missing", 1.0f);
    program.set_uniform4f("Missing", 1, 2, 3, 4);
    program.set_uniform1i("Texture", 3);
    EXPECT_NO_GL_ERROR();
    GLint unit = -1;
    glGetUniformiv(program.get_program(), glGetUniformLocation(program.get_program(), "Texture"), &unit);
    EXPECT_EQ(unit, 3);
    EXPECT_TRUE(recorded_boxes().empty());
}

TEST_F(ShaderProgramTest, MissingNamesFilesAndBuilder) {
    write("data/a.vert", kVertex);
    test_support::ScopedChdir in(dir.path());
    EXPECT_FATAL(ShaderProgram("", "x.frag"), "Need to specif shader filenames!");
    EXPECT_FATAL(ShaderProgram("x.vert", ""), "Need to specif shader filenames!");
    EXPECT_FATAL(ShaderProgram(nullptr), "Need to specify Shader Constructor!");
    EXPECT_FATAL(ShaderProgram("data/none.vert", "data/a.vert"), "Can't read shader file data/none.vert");
    EXPECT_FATAL(ShaderProgram("data/a.vert", "data/none.frag"), "Can't read shader file data/none.frag");
    EXPECT_TRUE(recorded_boxes().empty());
}

TEST_F(ShaderProgramTest, FailedStagesShowTheirLogThenEndTheRun) {
    write("data/bad.vert", kBrokenVertex);
    write("data/good.vert", kVertex);
    write("data/bad.frag", "#version 420\nvoid main() { gl_FragColor = nothing; }\n");
    write("data/good.frag", kFragment);
    write("data/unlinked.frag",
          "#version 420\nin vec3 NeverWritten;\nvoid main() { gl_FragColor = vec4(NeverWritten, 1.0); }\n");
    test_support::ScopedChdir in(dir.path());

    // The message the run ends with (the console's line).
    auto fatal_message = [](auto make) {
        try {
            make();
        } catch (const test_support::FatalError& error) {
            return error.report.message;
        }
        ADD_FAILURE() << "expected a fatal error";
        return std::string();
    };
    const struct {
        const char* vertex;
        const char* fragment;
        const char* caption;
        const char* text_start;
        const char* named;  // on the console
    } cases[] = {
        {"data/bad.vert", "data/bad.frag", "Vertex shader compilation failed: data/bad.vert",
         "--- Vertex shader compile failed, log:\n ", "data/bad.vert"},
        {"data/good.vert", "data/bad.frag", "Fragment shader compilation failed: data/bad.frag",
         "--- Fragment shader compile failed, log:\n ", "data/bad.frag"},
        {"data/good.vert", "data/unlinked.frag", "Shader linking failed", "--- Shader linking failed, log:\n ",
         "data/good.vert and data/unlinked.frag"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        test_support::clear_boxes();
        const std::string message = fatal_message([&] { ShaderProgram(c.vertex, c.fragment); });
        ASSERT_EQ(recorded_boxes().size(), 1u);  // the first failing stage only
        const auto& box = recorded_boxes()[0];
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text.rfind(c.text_start, 0), 0u) << box.text;
        EXPECT_GT(box.text.size(), std::string(c.text_start).size());  // the driver's log follows
        EXPECT_EQ(box.kind, platform::MessageBoxKind::Plain);
        // The system's text first, then the file and the stage's log, so
        // that a script that reads only the console sees them too.
        EXPECT_EQ(message, "Shader compile and link failed! (" + std::string(c.named) + "): " + box.text.substr(4));
    }

    // A builder program has no file names to show in its box; the console
    // names the builder.
    test_support::clear_boxes();
    auto builder = std::make_unique<ShaderConstructor>("Broken", "#version 420");
    builder->add_vert_body("\tgl_Position = undeclared;");
    const std::string message = fatal_message([&] { ShaderProgram(std::move(builder)); });
    ASSERT_EQ(recorded_boxes().size(), 1u);
    EXPECT_EQ(recorded_boxes()[0].caption, "Vertex shader compilation failed: ");
    EXPECT_EQ(message, "Shader compile and link failed! (program Broken): " + recorded_boxes()[0].text.substr(4));
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(ShaderProgramTest, VectorSettersReachTheirUniforms) {
    auto builder = std::make_unique<ShaderConstructor>("Vectors", "#version 420");
    builder->add_vert_global("uniform vec3 Offsets[2];");
    builder->add_vert_global("uniform vec4 Tint;");
    builder->add_vert_global("uniform vec2 Scale;");
    builder->add_vert_global("out vec4 Colour;");
    builder->add_vert_body("\tColour = Tint + vec4( Offsets[0] + Offsets[1], Scale.x + Scale.y );");
    builder->add_vert_body("\tgl_Position = vec4( 0.0 );");
    builder->add_frag_global("in vec4 Colour;");
    builder->add_frag_global("out vec4 FragColor;");
    builder->add_frag_body("\tFragColor = Colour;");
    ShaderProgram program(std::move(builder));
    program.bind();
    const float offsets[6] = {1, 2, 3, 4, 5, 6};
    program.set_uniform3fv("Offsets", offsets, 2);
    program.set_uniform_vec4("Tint", vec4(0.5f, 0.25f, 0.125f, 1.0f), 1);
    program.set_uniform2f("Scale", 7, 8);
    EXPECT_NO_GL_ERROR();
    const GLuint id = program.get_program();
    float got[4] = {};
    glGetUniformfv(id, glGetUniformLocation(id, "Offsets[1]"), got);
    EXPECT_EQ(std::vector<float>(got, got + 3), (std::vector<float>{4, 5, 6}));
    glGetUniformfv(id, glGetUniformLocation(id, "Tint"), got);
    EXPECT_EQ(std::vector<float>(got, got + 4), (std::vector<float>{0.5f, 0.25f, 0.125f, 1.0f}));
    glGetUniformfv(id, glGetUniformLocation(id, "Scale"), got);
    EXPECT_EQ(std::vector<float>(got, got + 2), (std::vector<float>{7, 8}));
    program.set_uniform_vec3("Offsets", vec3(-1, -2, -3), 1);
    glGetUniformfv(id, glGetUniformLocation(id, "Offsets[0]"), got);
    EXPECT_EQ(std::vector<float>(got, got + 3), (std::vector<float>{-1, -2, -3}));
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgramTest, DestructionDeletesShadersAndProgram) {
    GLuint program_id = 0;
    GLuint shaders[2] = {0, 0};
    {
        ShaderProgram program(make_shader_color2d("Temporary"));
        program_id = program.get_program();
        ASSERT_TRUE(glIsProgram(program_id));
        GLsizei count = 0;
        glGetAttachedShaders(program_id, 2, &count, shaders);
        ASSERT_EQ(count, 2);
    }
    EXPECT_FALSE(glIsProgram(program_id));
    EXPECT_FALSE(glIsShader(shaders[0]));
    EXPECT_FALSE(glIsShader(shaders[1]));
    EXPECT_NO_GL_ERROR();
}

}  // namespace
