// The surface of a piece of geometry in a scene graph: colours, specular
// exponent, up to four texture maps and optional per-instance diffuse
// colours. Scenes create materials (plain or from a numbered preset), adjust
// the public fields directly and keep them for the whole run; the render
// context turns them into shader uniforms. A material does not own its
// textures.
#pragma once

#include <string>
#include <vector>

#include "util/math/vector.h"

class Texture;

// Diffuse alpha below this marks a material as transparent: drawn without
// depth writes and casting no shadow.
constexpr float kOpaqueAlpha = 0.99f;

class Material {
public:
    Material() = default;
    // The defaults, then set_default(preset).
    explicit Material(unsigned preset);

    // Overwrites shininess, emission, glow, ambient, diffuse and specular
    // with preset 0..5 (red, green, blue-green, orange, black, warm white);
    // 6 or more ends the run.
    void set_default(unsigned preset);

    bool is_transparent() const { return diffuse.a < kOpaqueAlpha; }
    // A colour as the shaders receive it: the field plus color_offset,
    // component by component, not clamped.
    vec4 offset(const vec4& colour) const { return colour + color_offset; }

    std::string name = "dummy";  // goes into the name of every program made for it
    vec4 emission{0.0f, 0.0f, 0.0f, 1.0f};
    vec4 glow{0.0f, 0.0f, 0.0f, 1.0f};
    vec4 ambient{0.1f, 0.1f, 0.1f, 1.0f};
    vec4 diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    vec4 specular{0.5f, 0.5f, 0.5f, 1.0f};
    // Added to ambient, emission, specular and diffuse (not glow) on upload.
    vec4 color_offset{0.0f, 0.0f, 0.0f, 0.0f};
    float shininess = 20.0f;
    // One diffuse colour per instance; used when it holds more than one.
    std::vector<vec4> diffuseColors;
    Texture* diffuse_map = nullptr;
    Texture* glow_map = nullptr;
    Texture* normal_map = nullptr;
    Texture* emission_map = nullptr;
};
