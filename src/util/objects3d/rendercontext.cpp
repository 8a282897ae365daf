#include "util/objects3d/rendercontext.h"

#include <GL/glew.h>

#include "system/fatal.h"
#include "util/camera/camera.h"
#include "util/objects3d/light.h"
#include "util/objects3d/material.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace {

uint64_t cache_index(uint32_t key, bool instanced) {
    return static_cast<uint64_t>(key) | (instanced ? 1ull << 32 : 0ull);
}

void set_vec4(ShaderProgram& program, const char* name, const vec4& v) {
    program.set_uniform_vec4(name, v, 1);
}

void set_matrix(ShaderProgram& program, const char* name, const mat4& m) {
    program.set_uniform_matrix4fv(name, m.data(), 1, false);
}

}  // namespace

RenderContext::RenderContext() {
    pieces.init();
    reset();
    GlobalAmbient = vec4(0.2f, 0.2f, 0.2f, 1.0f);
}

RenderContext::~RenderContext() = default;

void RenderContext::reset() {
    shadow_pass = false;
    lights.clear();
}

uint32_t RenderContext::get_shader_key(int draw_mode, unsigned num_lights, bool using_texture,
                                       const Material* material) const {
    // Cast so that a negative mode fails the check too instead of shifting
    // into the key's other fields.
    if (static_cast<unsigned>(draw_mode) > 0xffu) FATAL_ERROR("Failed assert draw_mode <= 0xff");
    if (num_lights > 0xffu) FATAL_ERROR("Failed assert num_lights <= 0xff");
    uint32_t key = 0;
    if (using_texture && material->diffuse_map) key |= SHADER_KEY_DIFFUSE_MAP;
    if (using_texture && material->emission_map) key |= SHADER_KEY_EMISSION_MAP;
    if (using_texture && material->normal_map) key |= SHADER_KEY_NORMAL_MAP;
    if (using_texture && material->glow_map) key |= SHADER_KEY_GLOW_MAP;
    if (shadow_pass) key |= SHADER_KEY_SHADOW_PASS;
    if (material->diffuseColors.size() > 1) key |= SHADER_KEY_INSTANCE_COLORS;
    key |= num_lights << 16;
    key |= static_cast<uint32_t>(draw_mode) << 24;
    return key;
}

ShaderProgram* RenderContext::cached_program(uint32_t key, bool instanced) const {
    auto it = program_cache.find(cache_index(key, instanced));
    return it == program_cache.end() ? nullptr : it->second.get();
}

void RenderContext::apply(int mode, bool using_texture, const std::vector<mat4>& matrices,
                          Material* material, Camera* camera) {
    const unsigned num_lights = static_cast<unsigned>(lights.size());
    const uint32_t key = get_shader_key(mode, num_lights, using_texture, material);
    const bool instanced = matrices.size() > 1;
    std::unique_ptr<ShaderProgram>& slot = program_cache[cache_index(key, instanced)];
    if (!slot) slot = pieces.GetShader(mode, num_lights, using_texture, instanced, material);
    if (!slot) FATAL_ERROR("shader is NULL");
    ShaderProgram& program = *slot;
    program.bind();

    glDepthMask(material->is_transparent() ? GL_FALSE : GL_TRUE);

    const Material& m = *material;
    if (mode == DRAW_MODE_NORMAL || mode == DRAW_MODE_SHADOW_AMBIENT) {
        set_vec4(program, "GlobalAmbient", GlobalAmbient);
        set_vec4(program, "MaterialAmbient", m.offset(m.ambient));
        set_vec4(program, "MaterialEmission", m.offset(m.emission));
    }
    if (!lights.empty() && (mode == DRAW_MODE_NORMAL || mode == DRAW_MODE_SHADOW_LIGHTING)) {
        program.set_uniform1f("MaterialShininess", m.shininess);
        set_vec4(program, "MaterialSpecular", m.offset(m.specular));
        set_light_uniforms(program, *camera);
    }
    if (mode == DRAW_MODE_NORMAL || mode == DRAW_MODE_SHADOW_AMBIENT ||
        mode == DRAW_MODE_SHADOW_LIGHTING)
        set_vec4(program, "MaterialDiffuse", m.offset(m.diffuse));
    if (mode == DRAW_MODE_SHADOW_DEPTHWRITE) {
        if (lights.size() != 1) FATAL_ERROR("Failed assert 1 == lights.size()");
        set_matrix(program, "ProjectionMatrix", lights[0]->get_shadow_projection());
    } else {
        set_matrix(program, "ProjectionMatrix", camera->get_projection_matrix());
    }
    // Several matrices reach the program as a per-instance attribute.
    if (matrices.size() == 1) set_matrix(program, "ModelViewMatrix", matrices[0]);

    bind_textures(program, mode, using_texture, m, *camera);
}

void RenderContext::set_light_uniforms(ShaderProgram& program, Camera& camera) const {
    const mat4 view = camera.get_view_matrix();
    if (lights.size() == 1) {
        const Light& light = *lights[0];
        vec3 position = light.get_position();
        view.transform_point(position);
        program.set_uniform_vec3("LightAttenuation", light.get_attenuation(), 1);
        program.set_uniform_vec3("LightPosition", position, 1);
        set_vec4(program, "LightDiffuse", light.get_diffuse());
        set_vec4(program, "LightSpecular", light.get_specular());
        return;
    }
    std::vector<float> attenuation, positions, diffuse, specular;
    for (const Light* light : lights) {
        const vec3 att = light->get_attenuation();
        vec3 position = light->get_position();
        view.transform_point(position);
        attenuation.insert(attenuation.end(), {att.x, att.y, att.z});
        positions.insert(positions.end(), {position.x, position.y, position.z});
        const vec4 d = light->get_diffuse(), s = light->get_specular();
        diffuse.insert(diffuse.end(), d.data(), d.data() + 4);
        specular.insert(specular.end(), s.data(), s.data() + 4);
    }
    const int32_t count = static_cast<int32_t>(lights.size());
    program.set_uniform3fv("LightAttenuation", attenuation.data(), count);
    program.set_uniform3fv("LightPosition", positions.data(), count);
    program.set_uniform4fv("LightDiffuse", diffuse.data(), count);
    program.set_uniform4fv("LightSpecular", specular.data(), count);
}

void RenderContext::bind_textures(ShaderProgram& program, int mode, bool using_texture,
                                  const Material& m, Camera& camera) const {
    int unit = 0;
    auto bind = [&](const char* sampler, Texture* texture) {
        program.set_uniform1i(sampler, unit);
        if (texture) texture->bind(unit);
        ++unit;
    };
    if (!lights.empty() && shadow_pass) {
        if (lights.size() != 1) FATAL_ERROR("Failed assert 1 == lights.size()");
        // The shadow pipeline has bound the light's cube map on this unit.
        bind("ShadowMap", nullptr);
        set_matrix(program, "camera_view_matrix_inv", camera.get_inverse_view());
        set_matrix(program, "light_view_matrix", lights[0]->get_view_matrix());
        set_matrix(program, "light_projection_matrix", lights[0]->get_shadow_projection());
    }
    const bool mode01 = mode == DRAW_MODE_NORMAL || mode == DRAW_MODE_SHADOW_AMBIENT;
    if (using_texture && m.emission_map && mode01) bind("EmissionMap", m.emission_map);
    if (using_texture && m.diffuse_map && (mode01 || mode == DRAW_MODE_SHADOW_LIGHTING))
        bind("DiffuseMap", m.diffuse_map);
    if (!lights.empty() && using_texture && m.normal_map &&
        (mode == DRAW_MODE_NORMAL || mode == DRAW_MODE_SHADOW_LIGHTING))
        bind("NormalMap", m.normal_map);
    if (mode == DRAW_MODE_GLOW) {
        set_vec4(program, "MaterialGlow", m.glow);
        if (using_texture && m.glow_map) bind("GlowMap", m.glow_map);
    }
}
