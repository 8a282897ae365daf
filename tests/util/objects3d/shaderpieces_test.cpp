#include "util/objects3d/shaderpieces.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "util/data/data.h"
#include "util/objects3d/material.h"
#include "util/objects3d/objects3d.h"
#include "util/objects3d/rendercontext.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace {

using Entries = std::vector<std::string>;

// A list as readable entries: literal lines as they are, piece files as
// "file <name>" without the folder.
Entries entries(const ShaderConstructor& s, int32_t list) {
    Entries out;
    for (const ShaderPiece& p : s.get_list(list)) {
        if (p.kind == ShaderPiece::piece_line) {
            out.push_back(p.text);
        } else {
            EXPECT_EQ(p.text.rfind(shader_pieces_folder, 0), 0u) << p.text;
            out.push_back("file " + p.text.substr(shader_pieces_folder.size()));
        }
    }
    return out;
}

bool has(const Entries& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

// True when every wanted entry occurs, in this order.
bool in_order(const Entries& list, const Entries& wanted) {
    auto it = list.begin();
    for (const std::string& w : wanted) {
        it = std::find(it, list.end(), w);
        if (it == list.end()) return false;
        ++it;
    }
    return true;
}

struct Assembled {
    std::unique_ptr<ShaderConstructor> s;
    Entries vg, vf, vb, fg, ff, fb;
};

Assembled assemble_for(int mode, unsigned lights, bool textured, bool instanced, const Material& m) {
    ShaderRequest r;
    r.draw_mode = mode;
    r.num_lights = lights;
    r.using_texture = textured;
    r.draw_instanced = instanced;
    r.material = &m;
    Assembled a;
    a.s = assemble(r);
    a.vg = entries(*a.s, ShaderConstructor::vert_globals);
    a.vf = entries(*a.s, ShaderConstructor::vert_functions);
    a.vb = entries(*a.s, ShaderConstructor::vert_body);
    a.fg = entries(*a.s, ShaderConstructor::frag_globals);
    a.ff = entries(*a.s, ShaderConstructor::frag_functions);
    a.fb = entries(*a.s, ShaderConstructor::frag_body);
    return a;
}

TEST(ShaderPieces, DrawModeNames) {
    const char* names[] = {"DRAW_MODE_NORMAL", "DRAW_MODE_SHADOW_AMBIENT", "DRAW_MODE_SHADOW_DEPTHWRITE",
                           "DRAW_MODE_SHADOW_LIGHTING", "DRAW_MODE_GLOW"};
    for (int mode = 0; mode < 5; ++mode) EXPECT_EQ(draw_mode_name(mode), names[mode]);
    EXPECT_EQ(draw_mode_name(5), "INVALID");
    EXPECT_EQ(draw_mode_name(-1), "INVALID");
}

TEST(ShaderPieces, NormalModeWithTwoLightsDeclaresArraysAndCallsEachLight) {
    Material m;
    Assembled a = assemble_for(DRAW_MODE_NORMAL, 2, false, false, m);
    EXPECT_EQ(a.s->get_version(), "#version 420\n#extension GL_EXT_gpu_shader4 : enable");
    EXPECT_EQ(a.vg, (Entries{"uniform mat4 ProjectionMatrix;", "layout (location = 0) in vec3 Position;",
                             "uniform mat4 ModelViewMatrix;", "file global_cs_position_normal.vert"}));
    EXPECT_TRUE(a.vf.empty());
    EXPECT_EQ(a.vb, (Entries{"file body_gl_position.vert", "file body_cs_position_normal.vert"}));
    EXPECT_EQ(a.fg, (Entries{"out vec4 FragColor;", "file global_mixed_ambient_emission.frag",
                             "uniform float MaterialShininess;", "uniform vec3 LightPosition[2];",
                             "uniform vec4 LightDiffuse[2];", "uniform vec4 LightSpecular[2];",
                             "uniform vec3 LightAttenuation[2];", "uniform vec4 MaterialDiffuse;",
                             "vec4 mixed_diffuse;", "uniform vec4 MaterialSpecular;", "vec4 mixed_specular;",
                             "file global_cs_position_normal.frag"}));
    EXPECT_EQ(a.ff, (Entries{"file function_calc_light.frag"}));
    EXPECT_EQ(a.fb, (Entries{"file body_color.frag", "file body_mixed_ambient.frag",
                             "file body_mixed_colors.frag", "\tmixed_specular = MaterialSpecular;",
                             "file body_mixed_emission.frag", "file body_calc_mixed_emission_ambient.frag",
                             "\tcolor += calc_light( 0 );", "\tcolor += calc_light( 1 );",
                             "file body_material_alpha.frag", "file body_assign_color.frag"}));
}

TEST(ShaderPieces, NormalModeWithoutLightsAddsTheDiffuseColourInstead) {
    Material m;
    Texture normal;
    m.normal_map = &normal;  // no lights: no tangent space either
    Assembled a = assemble_for(DRAW_MODE_NORMAL, 0, true, false, m);
    for (const Entries* list : {&a.vg, &a.vf, &a.vb, &a.fg, &a.ff, &a.fb})
        for (const std::string& e : *list) {
            EXPECT_EQ(e.find("tbn"), std::string::npos) << e;
            EXPECT_EQ(e.find("Light"), std::string::npos) << e;
            EXPECT_EQ(e.find("cs_position"), std::string::npos) << e;
            EXPECT_EQ(e.find("mixed_specular"), std::string::npos) << e;
        }
    EXPECT_TRUE(has(a.fb, "\tcolor.rgb += mixed_diffuse.rgb;"));
    EXPECT_TRUE(a.ff.empty());
    // Textures on: the coordinates are passed even without a diffuse map.
    EXPECT_TRUE(has(a.vg, "layout( location = VERTEX_ATTRIB_TEXCOORD ) in vec2 TexCoord;"));
    EXPECT_TRUE(has(a.vb, "file body_texcoords.vert"));
    EXPECT_TRUE(has(a.fg, "in vec2 TexCoordFrag;"));
}

TEST(ShaderPieces, TexturedNormalMappedLitDrawUsesEveryMap) {
    Material m;
    Texture diffuse, normal, emission;
    m.diffuse_map = &diffuse;
    m.normal_map = &normal;
    m.emission_map = &emission;
    Assembled a = assemble_for(DRAW_MODE_NORMAL, 2, true, false, m);
    EXPECT_TRUE(in_order(a.vg, {"file global_cs_position_normal.vert", "file global_tbn.vert",
                                "uniform vec3 LightPosition[2];", "out vec3 lightdir_tbn[2];"}));
    EXPECT_EQ(a.vf, (Entries{"file function_tbn.vert"}));
    EXPECT_TRUE(in_order(a.vb, {"file body_gl_position.vert", "file body_texcoords.vert",
                                "file body_cs_position_normal.vert", "file body_tbn.vert",
                                "\tcalc_tbn( 0 );", "\tcalc_tbn( 1 );"}));
    EXPECT_TRUE(in_order(a.fg, {"file global_cs_position_normal.frag", "file global_emissionmap.frag",
                                "file global_diffusemap.frag", "file global_tbn.frag",
                                "in vec3 lightdir_tbn[2];"}));
    EXPECT_EQ(a.ff, (Entries{"file function_calc_light_normalmap.frag"}));
    EXPECT_TRUE(in_order(a.fb, {"file body_mixed_ambient_texture.frag", "file body_mixed_colors_texture.frag",
                                "\tmixed_specular = vec4( mix( MaterialSpecular.rgb, "
                                "MaterialSpecular.rgb*texcolor.rgb, texcolor.a ), MaterialSpecular.a );",
                                "file body_mixed_emission_texture.frag"}));
    // The same material with textures off: none of it.
    Assembled plain = assemble_for(DRAW_MODE_NORMAL, 2, false, false, m);
    EXPECT_FALSE(has(plain.fg, "file global_diffusemap.frag"));
    EXPECT_FALSE(has(plain.vg, "file global_tbn.vert"));
    EXPECT_TRUE(has(plain.fb, "file body_mixed_emission.frag"));
}

TEST(ShaderPieces, AmbientDepthAndGlowModes) {
    Material m;
    Texture diffuse, glow;
    m.diffuse_map = &diffuse;
    Assembled ambient = assemble_for(DRAW_MODE_SHADOW_AMBIENT, 0, true, false, m);
    EXPECT_EQ(ambient.fb, (Entries{"file body_color.frag", "file body_mixed_ambient_texture.frag",
                                   "file body_mixed_emission.frag",
                                   "file body_calc_mixed_emission_ambient.frag", "file body_assign_color.frag"}));
    EXPECT_TRUE(has(ambient.fg, "file global_diffusemap.frag"));

    // Depth only: an empty fragment body and no texture coordinates even when textured.
    Assembled depth = assemble_for(DRAW_MODE_SHADOW_DEPTHWRITE, 1, true, false, m);
    EXPECT_TRUE(depth.fb.empty());
    EXPECT_EQ(depth.fg, (Entries{"out vec4 FragColor;"}));
    EXPECT_EQ(depth.vb, (Entries{"file body_gl_position.vert"}));

    Assembled glow_plain = assemble_for(DRAW_MODE_GLOW, 0, true, false, m);  // no glow map
    EXPECT_EQ(glow_plain.fb, (Entries{"\tFragColor = MaterialGlow;"}));
    EXPECT_FALSE(has(glow_plain.fg, "uniform sampler2D GlowMap;"));
    m.glow_map = &glow;
    Assembled glow_off = assemble_for(DRAW_MODE_GLOW, 0, false, false, m);  // textures off
    EXPECT_EQ(glow_off.fb, (Entries{"\tFragColor = MaterialGlow;"}));
    Assembled glow_map = assemble_for(DRAW_MODE_GLOW, 0, true, false, m);
    EXPECT_EQ(glow_map.fb, (Entries{"file body_assign_glowmap.frag"}));
    EXPECT_TRUE(in_order(glow_map.fg, {"uniform vec4 MaterialGlow;", "uniform sampler2D GlowMap;"}));
}

TEST(ShaderPieces, LightingModeTakesExactlyOneLight) {
    Material m;
    Assembled a = assemble_for(DRAW_MODE_SHADOW_LIGHTING, 1, false, false, m);
    EXPECT_EQ(a.ff, (Entries{"file function_shadow.frag", "file function_calc_light.frag"}));
    EXPECT_TRUE(in_order(a.fg, {"uniform vec3 LightPosition[1];", "file global_cs_position_normal.frag",
                                "file global_shadow.frag"}));
    EXPECT_EQ(a.fb, (Entries{"file body_color.frag", "file body_mixed_colors.frag",
                             "\tmixed_specular = MaterialSpecular;", "file body_calc_light.frag",
                             "file body_calc_shadow.frag", "file body_material_alpha.frag",
                             "file body_assign_color.frag"}));
    EXPECT_FATAL(assemble_for(DRAW_MODE_SHADOW_LIGHTING, 2, false, false, m), "Failed assert 1 == num_lights");
    EXPECT_FATAL(assemble_for(DRAW_MODE_SHADOW_LIGHTING, 0, false, false, m), "Failed assert 1 == num_lights");
}

TEST(ShaderPieces, InstancingAndPerInstanceColours) {
    Material m;
    m.diffuseColors.assign(1, vec4(1, 0, 0, 1));  // one colour: not per instance
    Assembled one = assemble_for(DRAW_MODE_NORMAL, 0, false, true, m);
    EXPECT_TRUE(has(one.vg, "layout (location = 8) in mat4 ModelViewMatrix; "));
    EXPECT_FALSE(has(one.vg, "uniform mat4 ModelViewMatrix;"));
    EXPECT_TRUE(has(one.fg, "uniform vec4 MaterialDiffuse;"));

    m.diffuseColors.assign(2, vec4(1, 0, 0, 1));
    Assembled many = assemble_for(DRAW_MODE_NORMAL, 0, false, true, m);
    EXPECT_TRUE(in_order(many.vg, {"layout (location = 8) in mat4 ModelViewMatrix; ",
                                   "layout (location = 4) in vec4 MaterialDiffuseVert; ",
                                   "out vec4 MaterialDiffuse;"}));
    EXPECT_EQ(many.vb.front(), "\tMaterialDiffuse = MaterialDiffuseVert;");
    EXPECT_TRUE(has(many.fg, "in vec4 MaterialDiffuse;"));
    // Not instanced: the colours are not per instance whatever the list holds.
    Assembled single = assemble_for(DRAW_MODE_NORMAL, 0, false, false, m);
    EXPECT_TRUE(has(single.fg, "uniform vec4 MaterialDiffuse;"));
    EXPECT_FALSE(has(single.vg, "out vec4 MaterialDiffuse;"));
}

TEST(ShaderPieces, ProgramNameDocumentsTheCombination) {
    Material m;
    m.name = "stone";
    Texture diffuse;
    m.diffuse_map = &diffuse;
    Assembled a = assemble_for(DRAW_MODE_SHADOW_LIGHTING, 1, false, true, m);
    EXPECT_EQ(a.s->get_name(),
              "RenderContextShaderPieces\n"
              "//  draw_mode:      DRAW_MODE_SHADOW_LIGHTING\n"
              "//  num_lights:     1\n"
              "//  using_texture:  false\n"
              "//  draw_instanced: true\n"
              "//  material:       stone\n"
              "//    diffuse_tex:  true\n"
              "//    normal_tex:   false\n"
              "//    emission_tex: false\n"
              "//    glow_tex:     false");
}

TEST(ShaderPieces, GeneratedSourcesHoldThePiecesInOrder) {
    test_support::ScopedChdir in_source(test_support::source_path(""));
    const int saved_mode = DataFile::get_mode();
    DataFile::set_mode(DataFileMode::Plain);
    Material m;
    Assembled a = assemble_for(DRAW_MODE_NORMAL, 1, false, false, m);
    const std::string fragment = a.s->get_fragment_source();
    DataFile::set_mode(saved_mode);
    EXPECT_EQ(fragment.rfind("#version 420\n#extension GL_EXT_gpu_shader4 : enable\n", 0), 0u);
    EXPECT_NE(fragment.find("// Shader name: RenderContextShaderPieces\n//  draw_mode:      DRAW_MODE_NORMAL"),
              std::string::npos);
    size_t at = 0;
    for (const ShaderPiece& p : a.s->get_list(ShaderConstructor::frag_globals)) {
        const size_t found = fragment.find(ShaderConstructor::load_piece(p), at);
        ASSERT_NE(found, std::string::npos) << p.text;
        at = found;
    }
    EXPECT_NE(fragment.find("\tcolor += calc_light( 0 );\n", at), std::string::npos);
}

TEST(ShaderPieces, EveryPieceFileExists) {
    for (const char* name : kShaderPieceFiles) {
        std::ifstream in(test_support::source_path(shader_pieces_folder + name));
        EXPECT_TRUE(in.good()) << name;
    }
    for (const char* name : {"dof.vert", "dof.frag"}) {
        std::ifstream in(test_support::source_path(objects3d_shaders_folder + name));
        EXPECT_TRUE(in.good()) << name;
    }
}

TEST(ShaderPieces, DepthOfFieldBlursNoFurtherThanTheCompositeReads) {
    std::ifstream in(test_support::source_path(objects3d_shaders_folder + "dof.frag"));
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    const std::string key = "const float max_radius = ";
    const size_t at = source.find(key);
    ASSERT_NE(at, std::string::npos) << "dof.frag names its largest radius max_radius";
    const float radius = std::stof(source.substr(at + key.size()));
    EXPECT_GT(radius, 0.0f);
    EXPECT_LE(radius, kDofReach);
}

TEST(ShaderPieces, GetShaderNeedsTheFilesTouchedFirst) {
    const bool saved = shader_pieces_ready;
    shader_pieces_ready = false;
    Material m;
    EXPECT_FATAL(RenderContextShaderPieces().GetShader(0, 0, false, false, &m),
                 "GetShader called without RenderContextShaderPieces being initialized!");
    shader_pieces_ready = saved;
}

// The piece files in the programs of some combinations.
std::set<std::string> pieces_of(const std::vector<ShaderRequest>& requests) {
    std::set<std::string> files;
    for (const ShaderRequest& r : requests) {
        const std::unique_ptr<ShaderConstructor> s = assemble(r);
        for (int32_t list = 0; list < 6; ++list)
            for (const ShaderPiece& p : s->get_list(list))
                if (p.kind == ShaderPiece::piece_file) files.insert(p.text);
    }
    return files;
}

// Compiling the checks' programs while loading finds a damaged piece only if
// they hold every piece that any program the passes ask for can hold.
TEST(ShaderPieces, TheLoadingChecksHoldEveryPieceAProgramCanUse) {
    Texture present;
    Material maps[16];
    for (int set = 0; set < 16; ++set) {
        maps[set].diffuse_map = set & 1 ? &present : nullptr;
        maps[set].emission_map = set & 2 ? &present : nullptr;
        maps[set].normal_map = set & 4 ? &present : nullptr;
        maps[set].glow_map = set & 8 ? &present : nullptr;
    }
    Material coloured;
    coloured.diffuseColors.assign(2, vec4(1, 1, 1, 1));
    std::vector<ShaderRequest> every;
    for (int mode = 0; mode <= 4; ++mode)
        for (unsigned lights : {0u, 1u, 2u}) {
            if (mode == DRAW_MODE_SHADOW_LIGHTING && lights != 1) continue;
            for (bool textured : {false, true})
                for (bool instanced : {false, true})
                    for (int set = 0; set <= 16; ++set)
                        every.push_back({mode, lights, textured, instanced, set < 16 ? &maps[set] : &coloured});
        }
    std::vector<ShaderRequest> checks;
    std::vector<Material> materials(std::size(kEveryPieceChecks));
    for (size_t i = 0; i < std::size(kEveryPieceChecks); ++i) {
        const PieceCheck& c = kEveryPieceChecks[i];
        materials[i].diffuse_map = c.diffuse ? &present : nullptr;
        materials[i].emission_map = c.emission ? &present : nullptr;
        materials[i].normal_map = c.normal ? &present : nullptr;
        materials[i].glow_map = c.glow ? &present : nullptr;
        checks.push_back({c.draw_mode, c.num_lights, true, false, &materials[i]});
    }
    const std::set<std::string> used = pieces_of(every), checked = pieces_of(checks);
    std::vector<std::string> unchecked;
    std::set_difference(used.begin(), used.end(), checked.begin(), checked.end(), std::back_inserter(unchecked));
    EXPECT_TRUE(unchecked.empty()) << ::testing::PrintToString(unchecked);
    // Every file the programs read is one that loading touches.
    for (const std::string& file : used)
        EXPECT_NE(std::find_if(std::begin(kShaderPieceFiles), std::end(kShaderPieceFiles),
                               [&](const char* name) { return shader_pieces_folder + name == file; }),
                  std::end(kShaderPieceFiles))
            << file;
}

// A render context touches the piece files when it is made: on the plain
// disk of the source tree, which holds them, that needs no GL.
class PiecesOnThePlainDisk {
public:
    PiecesOnThePlainDisk() : in_(test_support::source_path(".")) { DataFile::set_mode(DataFileMode::Plain); }

private:
    test_support::ScopedChdir in_;
};

TEST(ShaderKey, FieldsOfTheKey) {
    PiecesOnThePlainDisk disk;
    RenderContext context;
    Texture diffuse, emission, normal, glow;
    Material plain, maps, coloured;
    maps.diffuse_map = &diffuse;
    maps.emission_map = &emission;
    maps.normal_map = &normal;
    maps.glow_map = &glow;
    coloured.diffuseColors.assign(2, vec4(1, 1, 1, 1));
    Material diffuse_only;
    diffuse_only.diffuse_map = &diffuse;
    struct Case {
        const char* what;
        int mode;
        unsigned lights;
        bool textured, shadow_pass;
        const Material* material;
        uint32_t key;
    };
    const Case cases[] = {
        {"lit pass, diffuse map", 3, 1, true, true, &diffuse_only, 0x03010011u},
        {"lit pass, textures off", 3, 1, false, true, &diffuse_only, 0x03010010u},
        {"all maps", 0, 0, true, false, &maps, 0x0000000Fu},
        {"all maps, textures off", 0, 0, false, false, &maps, 0x00000000u},
        {"per-instance colours", 0, 0, false, false, &coloured, 0x00000020u},
        {"glow, 255 lights", 4, 255, false, false, &plain, 0x04FF0000u},
        {"depth pass", 2, 1, false, false, &plain, 0x02010000u},
        {"mode 255", 255, 2, false, false, &plain, 0xFF020000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.set_shadow_pass(c.shadow_pass);
        EXPECT_EQ(context.get_shader_key(c.mode, c.lights, c.textured, c.material), c.key);
    }
    EXPECT_FATAL(context.get_shader_key(256, 0, false, &plain), "Failed assert draw_mode <= 0xff");
    EXPECT_FATAL(context.get_shader_key(-1, 0, false, &plain), "Failed assert draw_mode <= 0xff");
    EXPECT_FATAL(context.get_shader_key(0, 256, false, &plain), "Failed assert num_lights <= 0xff");
}

TEST(RenderContext, StartsAndResetsWithoutLightsOrShadowPass) {
    PiecesOnThePlainDisk disk;
    RenderContext context;
    EXPECT_EQ(context.GlobalAmbient.r, 0.2f);
    EXPECT_EQ(context.GlobalAmbient.a, 1.0f);
    EXPECT_TRUE(shader_pieces_ready);
    Light* a = reinterpret_cast<Light*>(0x10);  // only stored, never touched
    Light* b = reinterpret_cast<Light*>(0x20);
    context.set_lights({a, b});
    EXPECT_EQ(context.lights.size(), 2u);
    context.set_light(b);
    EXPECT_EQ(context.lights, std::vector<Light*>{b});
    context.set_shadow_pass(true);
    context.set_global_ambient(vec4(1, 0, 0, 1));
    context.reset();
    EXPECT_TRUE(context.lights.empty());
    EXPECT_FALSE(context.shadow_pass);
    EXPECT_EQ(context.GlobalAmbient.r, 1.0f);  // kept across frames
}

}  // namespace
