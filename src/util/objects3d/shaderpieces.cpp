#include "util/objects3d/shaderpieces.h"

#include "system/fatal.h"
#include "util/objects3d/material.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"
#include "util/utils.h"

const std::string shader_pieces_folder = "data/util/objects3d/shaderpieces/";
const std::string objects3d_shaders_folder = "data/util/objects3d/shaders/";
bool shader_pieces_ready = false;

const char* const kShaderPieceFiles[33] = {
    "body_assign_color.frag",
    "body_assign_diffuse.frag",
    "body_assign_diffusemap.frag",
    "body_assign_glowmap.frag",
    "body_calc_light.frag",
    "body_calc_mixed_emission_ambient.frag",
    "body_calc_shadow.frag",
    "body_color.frag",
    "body_gl_position.vert",
    "body_cs_position_normal.vert",
    "body_material_alpha.frag",
    "body_mixed_ambient.frag",
    "body_mixed_ambient_texture.frag",
    "body_mixed_colors.frag",
    "body_mixed_colors_texture.frag",
    "body_mixed_emission.frag",
    "body_mixed_emission_texture.frag",
    "body_tbn.vert",
    "body_texcoords.vert",
    "function_calc_light.frag",
    "function_calc_light_normalmap.frag",
    "function_shadow.frag",
    "function_tbn.vert",
    "global_common.frag",
    "global_common.vert",
    "global_cs_position_normal.frag",
    "global_cs_position_normal.vert",
    "global_diffusemap.frag",
    "global_emissionmap.frag",
    "global_mixed_ambient_emission.frag",
    "global_shadow.frag",
    "global_tbn.frag",
    "global_tbn.vert",
};

const PieceCheck kEveryPieceChecks[4] = {
    // The eye-space, tangent-space, light and texture pieces of the plain pass.
    {"lit, every map but glow", DRAW_MODE_NORMAL, 1, true, true, true, false},
    // Their untextured counterparts.
    {"lit, no maps", DRAW_MODE_NORMAL, 1, false, false, false, false},
    // The shadow pieces.
    {"shadowed light", DRAW_MODE_SHADOW_LIGHTING, 1, false, false, false, false},
    {"glow map", DRAW_MODE_GLOW, 0, false, false, false, true},
};

std::string draw_mode_name(int draw_mode) {
    switch (draw_mode) {
        case DRAW_MODE_NORMAL: return "DRAW_MODE_NORMAL";
        case DRAW_MODE_SHADOW_AMBIENT: return "DRAW_MODE_SHADOW_AMBIENT";
        case DRAW_MODE_SHADOW_DEPTHWRITE: return "DRAW_MODE_SHADOW_DEPTHWRITE";
        case DRAW_MODE_SHADOW_LIGHTING: return "DRAW_MODE_SHADOW_LIGHTING";
        case DRAW_MODE_GLOW: return "DRAW_MODE_GLOW";
        default: return "INVALID";
    }
}

namespace {

const char* bool_text(bool b) { return b ? "true" : "false"; }

const char* const kMixedSpecularTexture =
    "\tmixed_specular = vec4( mix( MaterialSpecular.rgb, MaterialSpecular.rgb*texcolor.rgb, "
    "texcolor.a ), MaterialSpecular.a );";

// The flags every table tests, worked out once.
struct Flags {
    int mode;
    unsigned n;
    std::string count;  // n in decimal, for the array sizes
    bool t, inst, ic;
    bool diffuse, normal, emission, glow;  // the map is present and textures are on

    explicit Flags(const ShaderRequest& r)
        : mode(r.draw_mode),
          n(r.num_lights),
          count(int_to_string(static_cast<int>(r.num_lights))),
          t(r.using_texture),
          inst(r.draw_instanced),
          ic(r.draw_instanced && r.material->diffuseColors.size() > 1),
          diffuse(r.using_texture && r.material->diffuse_map),
          normal(r.using_texture && r.material->normal_map),
          emission(r.using_texture && r.material->emission_map),
          glow(r.using_texture && r.material->glow_map) {}

    bool lit() const { return mode == 0 || mode == 1 || mode == 3; }
};

std::string file(const char* name) { return shader_pieces_folder + name; }

void add_common(ShaderConstructor& s, const Flags& f) {
    s.add_vert_global("uniform mat4 ProjectionMatrix;");
    s.add_vert_global("layout (location = " + int_to_string(0) + ") in vec3 Position;");
    s.add_frag_global("out vec4 FragColor;");
    const bool texcoords = f.t && f.mode != DRAW_MODE_SHADOW_DEPTHWRITE;
    if (texcoords) {
        s.add_vert_global("layout( location = VERTEX_ATTRIB_TEXCOORD ) in vec2 TexCoord;");
        s.add_vert_global("out vec2 TexCoordFrag;");
        s.add_frag_global("in vec2 TexCoordFrag;");
    }
    if (f.mode == 0 || f.mode == 1) s.add_frag_global_file(file("global_mixed_ambient_emission.frag"));
    if (f.n > 0 && (f.mode == 0 || f.mode == 3)) {
        s.add_frag_global("uniform float MaterialShininess;");
        s.add_frag_global("uniform vec3 LightPosition[" + f.count + "];");
        s.add_frag_global("uniform vec4 LightDiffuse[" + f.count + "];");
        s.add_frag_global("uniform vec4 LightSpecular[" + f.count + "];");
        s.add_frag_global("uniform vec3 LightAttenuation[" + f.count + "];");
    }
    if (f.lit()) {
        s.add_frag_global(f.ic ? "in vec4 MaterialDiffuse;" : "uniform vec4 MaterialDiffuse;");
        s.add_frag_global("vec4 mixed_diffuse;");
        if (f.n > 0) {
            s.add_frag_global("uniform vec4 MaterialSpecular;");
            s.add_frag_global("vec4 mixed_specular;");
        }
    }
    if (!f.inst)
        s.add_vert_global("uniform mat4 ModelViewMatrix;");
    else
        s.add_vert_global("layout (location = " + int_to_string(8) + ") in mat4 ModelViewMatrix; ");
    if (f.ic) {
        s.add_vert_global("layout (location = " + int_to_string(4) + ") in vec4 MaterialDiffuseVert; ");
        s.add_vert_global("out vec4 MaterialDiffuse;");
        s.add_vert_body("\tMaterialDiffuse = MaterialDiffuseVert;");
    }
    s.add_vert_body_file(file("body_gl_position.vert"));
    if (texcoords) s.add_vert_body_file(file("body_texcoords.vert"));
}

// The diffuse (and specular) colour of the fragment, plain or textured.
void add_mixed_colours(ShaderConstructor& s, const Flags& f) {
    if (f.diffuse) {
        s.add_frag_body_file(file("body_mixed_colors_texture.frag"));
        if (f.n > 0) s.add_frag_body(kMixedSpecularTexture);
    } else {
        s.add_frag_body_file(file("body_mixed_colors.frag"));
        if (f.n > 0) s.add_frag_body("\tmixed_specular = MaterialSpecular;");
    }
}

// Tangent-space light directions for normal mapping, vertex side (the
// globals and function; the body lines follow the eye-space body).
void add_tbn_vertex_globals(ShaderConstructor& s, const Flags& f) {
    s.add_vert_global_file(file("global_tbn.vert"));
    s.add_vert_global("uniform vec3 LightPosition[" + f.count + "];");
    s.add_vert_global("out vec3 lightdir_tbn[" + f.count + "];");
    s.add_vert_function_file(file("function_tbn.vert"));
}

void add_tbn_vertex_body(ShaderConstructor& s, const Flags& f) {
    s.add_vert_body_file(file("body_tbn.vert"));
    for (unsigned i = 0; i < f.n; ++i)
        s.add_vert_body("\tcalc_tbn( " + int_to_string(static_cast<int>(i)) + " );");
}

const char* calc_light_file(bool normal_map) {
    return normal_map ? "function_calc_light_normalmap.frag" : "function_calc_light.frag";
}

const char* emission_body_file(const Flags& f) {
    return f.emission ? "body_mixed_emission_texture.frag" : "body_mixed_emission.frag";
}

void add_normal_mode(ShaderConstructor& s, const Flags& f) {
    const bool lights = f.n > 0;
    const bool tbn = lights && f.normal;
    if (lights) s.add_vert_global_file(file("global_cs_position_normal.vert"));
    if (tbn) add_tbn_vertex_globals(s, f);
    if (lights) s.add_vert_body_file(file("body_cs_position_normal.vert"));
    if (tbn) add_tbn_vertex_body(s, f);
    if (lights) s.add_frag_global_file(file("global_cs_position_normal.frag"));
    if (f.emission) s.add_frag_global_file(file("global_emissionmap.frag"));
    if (f.diffuse) s.add_frag_global_file(file("global_diffusemap.frag"));
    if (tbn) {
        s.add_frag_global_file(file("global_tbn.frag"));
        s.add_frag_global("in vec3 lightdir_tbn[" + f.count + "];");
    }
    if (lights) s.add_frag_function_file(file(calc_light_file(f.normal)));
    s.add_frag_body_file(file("body_color.frag"));
    s.add_frag_body_file(file(f.diffuse ? "body_mixed_ambient_texture.frag" : "body_mixed_ambient.frag"));
    add_mixed_colours(s, f);
    s.add_frag_body_file(file(emission_body_file(f)));
    s.add_frag_body_file(file("body_calc_mixed_emission_ambient.frag"));
    for (unsigned i = 0; i < f.n; ++i)
        s.add_frag_body("\tcolor += calc_light( " + int_to_string(static_cast<int>(i)) + " );");
    if (!lights) s.add_frag_body("\tcolor.rgb += mixed_diffuse.rgb;");
    s.add_frag_body_file(file("body_material_alpha.frag"));
    s.add_frag_body_file(file("body_assign_color.frag"));
}

void add_ambient_mode(ShaderConstructor& s, const Flags& f) {
    if (f.emission) s.add_frag_global_file(file("global_emissionmap.frag"));
    if (f.diffuse) s.add_frag_global_file(file("global_diffusemap.frag"));
    s.add_frag_body_file(file("body_color.frag"));
    s.add_frag_body_file(file(f.diffuse ? "body_mixed_ambient_texture.frag" : "body_mixed_ambient.frag"));
    s.add_frag_body_file(file(emission_body_file(f)));
    s.add_frag_body_file(file("body_calc_mixed_emission_ambient.frag"));
    s.add_frag_body_file(file("body_assign_color.frag"));
}

void add_lighting_mode(ShaderConstructor& s, const Flags& f) {
    s.add_vert_global_file(file("global_cs_position_normal.vert"));
    if (f.normal) add_tbn_vertex_globals(s, f);
    s.add_vert_body_file(file("body_cs_position_normal.vert"));
    if (f.normal) add_tbn_vertex_body(s, f);
    s.add_frag_global_file(file("global_cs_position_normal.frag"));
    s.add_frag_global_file(file("global_shadow.frag"));
    if (f.diffuse) s.add_frag_global_file(file("global_diffusemap.frag"));
    if (f.normal) {
        s.add_frag_global_file(file("global_tbn.frag"));
        s.add_frag_global("in vec3 lightdir_tbn[1];");
    }
    s.add_frag_function_file(file("function_shadow.frag"));
    s.add_frag_function_file(file(calc_light_file(f.normal)));
    s.add_frag_body_file(file("body_color.frag"));
    add_mixed_colours(s, f);
    s.add_frag_body_file(file("body_calc_light.frag"));
    s.add_frag_body_file(file("body_calc_shadow.frag"));
    s.add_frag_body_file(file("body_material_alpha.frag"));
    s.add_frag_body_file(file("body_assign_color.frag"));
}

void add_glow_mode(ShaderConstructor& s, const Flags& f) {
    s.add_frag_global("uniform vec4 MaterialGlow;");
    if (f.glow) {
        s.add_frag_global("uniform sampler2D GlowMap;");
        s.add_frag_body_file(file("body_assign_glowmap.frag"));
    } else {
        s.add_frag_body("\tFragColor = MaterialGlow;");
    }
}

}  // namespace

std::string shader_program_name(const ShaderRequest& r) {
    const Material& m = *r.material;
    return std::string("RenderContextShaderPieces\n") +
           "//  draw_mode:      " + draw_mode_name(r.draw_mode) + "\n" +
           "//  num_lights:     " + int_to_string(static_cast<int>(r.num_lights)) + "\n" +
           "//  using_texture:  " + bool_text(r.using_texture) + "\n" +
           "//  draw_instanced: " + bool_text(r.draw_instanced) + "\n" +
           "//  material:       " + m.name + "\n" +
           "//    diffuse_tex:  " + bool_text(m.diffuse_map) + "\n" +
           "//    normal_tex:   " + bool_text(m.normal_map) + "\n" +
           "//    emission_tex: " + bool_text(m.emission_map) + "\n" +
           "//    glow_tex:     " + bool_text(m.glow_map);
}

std::unique_ptr<ShaderConstructor> assemble(const ShaderRequest& request) {
    const Flags f(request);
    // The mode-3 check comes first so that nothing is built for a bad request.
    if (f.mode == DRAW_MODE_SHADOW_LIGHTING && f.n != 1) FATAL_ERROR("Failed assert 1 == num_lights");
    auto s = std::make_unique<ShaderConstructor>(shader_program_name(request),
                                                 "#version 420\n#extension GL_EXT_gpu_shader4 : enable");
    add_common(*s, f);
    switch (f.mode) {
        case DRAW_MODE_NORMAL: add_normal_mode(*s, f); break;
        case DRAW_MODE_SHADOW_AMBIENT: add_ambient_mode(*s, f); break;
        case DRAW_MODE_SHADOW_DEPTHWRITE: break;  // depth only: the fragment body stays empty
        case DRAW_MODE_SHADOW_LIGHTING: add_lighting_mode(*s, f); break;
        case DRAW_MODE_GLOW: add_glow_mode(*s, f); break;
        default: break;
    }
    return s;
}

RenderContextShaderPieces& RenderContextShaderPieces::init() {
    if (!shader_pieces_ready) {
        for (const char* name : kShaderPieceFiles) touch_data_file(shader_pieces_folder + name);
        shader_pieces_ready = true;
    }
    return *this;
}

std::unique_ptr<ShaderProgram> RenderContextShaderPieces::GetShader(int draw_mode, unsigned num_lights,
                                                                    bool using_texture, bool draw_instanced,
                                                                    const Material* material) {
    if (!shader_pieces_ready)
        FATAL_ERROR("GetShader called without RenderContextShaderPieces being initialized!");
    ShaderRequest request;
    request.draw_mode = draw_mode;
    request.num_lights = num_lights;
    request.using_texture = using_texture;
    request.draw_instanced = draw_instanced;
    request.material = material;
    return std::make_unique<ShaderProgram>(assemble(request));
}

void RenderContextShaderPieces::compile_every_piece() {
    Texture present;  // only its presence counts
    for (const PieceCheck& check : kEveryPieceChecks) {
        Material material;
        material.diffuse_map = check.diffuse ? &present : nullptr;
        material.emission_map = check.emission ? &present : nullptr;
        material.normal_map = check.normal ? &present : nullptr;
        material.glow_map = check.glow ? &present : nullptr;
        GetShader(check.draw_mode, check.num_lights, true, false, &material);
    }
}
