// The vertex-colour scene base keeps the builder of its program for as long
// as the program, which holds on to it.
#include "scenes/vertex_colour_scene.h"

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace {

using test_support::GlTest;

class ProbeScene : public VertexColourScene {
public:
    void init() override { init_drawing("ProbeVertexColour"); }
    void draw() override {}
    ShaderProgram* get_program() const { return program.get(); }
};

TEST_F(GlTest, VertexColourProgramKeepsItsBuilder) {
    ProbeScene scene;
    scene.init();
    ShaderConstructor* builder = scene.get_program()->get_constructor();
    ASSERT_NE(builder, nullptr);
    // A builder freed after the build would have lost its name and lists.
    EXPECT_EQ(builder->get_name(), "ProbeVertexColour");
    std::unique_ptr<ShaderConstructor> fresh(make_shader_vertex_color3d("ProbeVertexColour"));
    EXPECT_EQ(builder->get_vertex_source(), fresh->get_vertex_source());
    EXPECT_EQ(builder->get_fragment_source(), fresh->get_fragment_source());
    EXPECT_NO_GL_ERROR();
}

}  // namespace
