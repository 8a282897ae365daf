#include "util/objects3d/material.h"

#include "system/fatal.h"

namespace {

struct Preset {
    vec4 ambient;
    vec4 diffuse;
};

const Preset kPresets[] = {
    {{0.34f, 0.06f, 0.06f, 1.0f}, {0.67f, 0.12f, 0.12f, 1.0f}},  // red
    {{0.0f, 0.37f, 0.09f, 1.0f}, {0.0f, 0.75f, 0.18f, 1.0f}},    // green
    {{0.0f, 0.23f, 0.31f, 1.0f}, {0.0f, 0.45f, 0.63f, 1.0f}},    // blue-green
    {{0.47f, 0.37f, 0.09f, 1.0f}, {0.94f, 0.75f, 0.18f, 1.0f}},  // orange
    {{0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},        // black
    {{0.5f, 0.47f, 0.44f, 1.0f}, {0.99f, 0.95f, 0.9f, 1.0f}},    // warm white
};

}  // namespace

Material::Material(unsigned preset) { set_default(preset); }

void Material::set_default(unsigned preset) {
    if (preset >= sizeof(kPresets) / sizeof(kPresets[0]))
        FATAL_ERROR("Material default " << preset << " out of range!");
    shininess = 12.5f;
    emission = vec4(0.0f, 0.0f, 0.0f, 1.0f);
    glow = vec4(0.0f, 0.0f, 0.0f, 1.0f);
    ambient = kPresets[preset].ambient;
    diffuse = kPresets[preset].diffuse;
    specular = vec4(0.5f, 0.5f, 0.5f, 1.0f);
}
