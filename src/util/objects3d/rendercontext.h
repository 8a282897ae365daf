// Per-graph drawing state: turns "draw this geometry object in this pass"
// into a bound program with its uniforms and textures set. apply reduces the
// draw mode, light count, textures, shadow pass and per-instance colours to
// a 32-bit shader key, builds the program for a (key, instanced) pair the
// first time (from shader pieces) and keeps it, binds it, sets the depth
// mask for transparency and uploads exactly what that mode's program reads.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/objects3d/shaderpieces.h"

class Camera;
class Light;
class Material;
class ShaderProgram;

// The key's fields (bits 0-5 flags, 16-23 light count, 24-31 draw mode).
enum ShaderKeyBits : uint32_t {
    SHADER_KEY_DIFFUSE_MAP = 1u << 0,
    SHADER_KEY_EMISSION_MAP = 1u << 1,
    SHADER_KEY_NORMAL_MAP = 1u << 2,
    SHADER_KEY_GLOW_MAP = 1u << 3,
    SHADER_KEY_SHADOW_PASS = 1u << 4,
    SHADER_KEY_INSTANCE_COLORS = 1u << 5,
};

class RenderContext {
public:
    RenderContext();
    ~RenderContext();
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // Shadow pass off, no lights; run at the start of every graph draw.
    void reset();
    void clear_lights() { lights.clear(); }
    void set_light(Light* light) { lights.assign(1, light); }
    void set_lights(std::vector<Light*> list) { lights = std::move(list); }
    void set_shadow_pass(bool on) { shadow_pass = on; }
    void set_global_ambient(const vec4& colour) { GlobalAmbient = colour; }

    // A mode above 255 or more than 255 lights ends the run.
    uint32_t get_shader_key(int draw_mode, unsigned num_lights, bool using_texture,
                            const Material* material) const;
    // Binds and feeds the program for one object: matrices is not empty (one
    // per instance), material and camera are set.
    void apply(int draw_mode, bool using_texture, const std::vector<mat4>& matrices,
               Material* material, Camera* camera);
    // The cached program of a key and instancing, or null.
    ShaderProgram* cached_program(uint32_t key, bool instanced) const;

    bool shadow_pass = false;
    vec4 GlobalAmbient{0.2f, 0.2f, 0.2f, 1.0f};
    // Programs by key (bits 0..31) and instancing (bit 32); built on first
    // use, kept as long as the context.
    std::unordered_map<uint64_t, std::unique_ptr<ShaderProgram>> program_cache;
    std::vector<Light*> lights;  // borrowed from the scene
    RenderContextShaderPieces pieces;

private:
    void set_light_uniforms(ShaderProgram& program, Camera& camera) const;
    void bind_textures(ShaderProgram& program, int draw_mode, bool using_texture,
                       const Material& material, Camera& camera) const;
};
