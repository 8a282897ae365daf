// Every combination of draw mode, light count and material options that the
// scene graph can ask for compiles and links with the real shader pieces.
#include <memory>

#include "util/objects3d/material.h"
#include "util/objects3d/shaderpieces.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"
#include "util/objects3d/objects3d_fixture.h"

namespace {

using objects3d_test::Objects3DGlTest;

class ShaderPiecesGlTest : public Objects3DGlTest {};

struct Maps {
    const char* what;
    bool diffuse, emission, normal, glow;
};

const Maps kNoMaps{"no maps", false, false, false, false};
const Maps kMapSets[] = {
    kNoMaps,
    {"diffuse", true, false, false, false},
    {"diffuse+emission", true, true, false, false},
    {"diffuse+normal", true, false, true, false},
    {"all four", true, true, true, true},
};

struct Instancing {
    const char* what;
    bool instanced;
    size_t colours;
};
const Instancing kInstancing[] = {{"single", false, 0}, {"instanced", true, 1}, {"instance colours", true, 2}};

TEST_F(ShaderPiecesGlTest, EveryAllowedCombinationCompilesAndLinks) {
    RenderContextShaderPieces pieces;
    pieces.init();
    Texture texture;  // only its presence counts
    int built = 0;
    auto build = [&](int mode, unsigned lights, bool textured, const Maps& maps, const Instancing& inst) {
        Material m;
        m.diffuse_map = maps.diffuse ? &texture : nullptr;
        m.emission_map = maps.emission ? &texture : nullptr;
        m.normal_map = maps.normal ? &texture : nullptr;
        m.glow_map = maps.glow ? &texture : nullptr;
        m.diffuseColors.assign(inst.colours, vec4(1, 1, 1, 1));
        SCOPED_TRACE(draw_mode_name(mode) + " lights " + std::to_string(lights) +
                     (textured ? " textured " : " plain ") + maps.what + " " + inst.what);
        test_support::clear_boxes();
        try {
            std::unique_ptr<ShaderProgram> program(
                pieces.GetShader(mode, lights, textured, inst.instanced, &m));
            EXPECT_NE(program->get_program(), 0u);
            ++built;
        } catch (const test_support::FatalError& e) {
            std::string log;
            for (const auto& box : test_support::recorded_boxes()) log += box.text + "\n";
            ADD_FAILURE() << e.what() << "\n" << log;
        }
        EXPECT_NO_GL_ERROR();
    };
    for (const Instancing& inst : kInstancing) {
        for (bool textured : {false, true}) {
            for (const Maps& maps : kMapSets) {
                if (!textured && &maps != &kMapSets[0]) continue;  // maps only count with textures on
                for (unsigned lights : {0u, 1u, 2u}) build(DRAW_MODE_NORMAL, lights, textured, maps, inst);
                build(DRAW_MODE_SHADOW_AMBIENT, 0, textured, maps, inst);
                build(DRAW_MODE_SHADOW_LIGHTING, 1, textured, maps, inst);
            }
            build(DRAW_MODE_SHADOW_DEPTHWRITE, 1, textured, kMapSets[4], inst);
            build(DRAW_MODE_GLOW, 0, textured, kNoMaps, inst);
            build(DRAW_MODE_GLOW, 0, textured, kMapSets[4], inst);
        }
    }
    EXPECT_EQ(built, 3 * (1 + 5) * 5 + 3 * 2 * 3);
}

}  // namespace
