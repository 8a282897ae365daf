// Every combination of draw mode, light count and material options that the
// scene graph can ask for compiles and links with the real shader pieces; a
// damaged piece ends the run when the first graph is made, naming the piece.
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "util/context_cache.h"
#include "util/objects3d/material.h"
#include "util/objects3d/objects3d.h"
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

// A piece replaced by random bytes (none of them zero, which would end the
// text early and leave the error to a later piece) is found while the first
// graph is made, long before a pass draws with a program that holds it: the
// run ends, and the stage's box and the run's message name the piece.
TEST_F(ShaderPiecesGlTest, ADamagedPieceEndsTheRunWhenTheFirstGraphIsMade) {
    const struct {
        const char* piece;
        const char* stage;
    } cases[] = {
        {"body_calc_light.frag", "Fragment"},                // the shadowed light's
        {"function_calc_light_normalmap.frag", "Fragment"},  // the normal map's
        {"body_mixed_colors.frag", "Fragment"},              // the untextured colours'
        {"body_assign_glowmap.frag", "Fragment"},            // the glow map's
        {"global_cs_position_normal.vert", "Vertex"},        // the eye-space light's
    };
    std::mt19937 random(53);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.piece);
        test_support::TempDir data;
        std::filesystem::create_directories(data.file("data/util"));
        std::filesystem::copy(test_support::source_path("data/util/objects3d"), data.file("data/util/objects3d"),
                              std::filesystem::copy_options::recursive);
        const std::string piece = shader_pieces_folder + c.piece;
        {
            std::ofstream damaged(data.file(piece), std::ios::binary | std::ios::trunc);
            for (int i = 0; i < 2000; ++i) damaged.put(static_cast<char>(1 + random() % 255));
        }
        test_support::ScopedChdir in_data(data.path());
        test_support::clear_boxes();
        // The pieces are checked once a context: an earlier test of the same
        // process has made a graph already, so this one starts afresh.
        ContextCache::release();
        // The console's line names the piece too.
        EXPECT_FATAL_CONTAINS(Objects3D graph, "Shader compile and link failed! (" + piece + "): " + c.stage +
                                                   " shader compile failed, log:");
        ASSERT_EQ(test_support::recorded_boxes().size(), 1u);
        EXPECT_EQ(test_support::recorded_boxes()[0].caption, std::string(c.stage) + " shader compilation failed: " + piece);
    }
}

}  // namespace
