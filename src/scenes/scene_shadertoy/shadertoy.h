// ShaderToy, the shader gallery: seven full-screen fragment programs, each a
// self-contained animated picture, and a noise picture on texture unit 0 for
// them to sample. The track "ShaderToyNr" picks the program drawn; each
// program gets the music position in beats ("iTime"), a fixed pointer
// position ("iMouse") and the render size ("iResolution").
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "scenes/scene.h"
#include "scenes/scene_tracks.h"
#include "util/texture/texture.h"

class ShaderProgram;

class ShaderToy : public Scene {
public:
    ShaderToy();
    ~ShaderToy() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;

    // The gallery's fragment files; a program's index is its place here.
    static const std::vector<const char*> fragment_files;
    static const SceneTracks tracks;

    // The program that a "ShaderToyNr" value names out of `count`: truncated
    // toward zero and kept within 0..count - 1; NaN names program 0. Count 0
    // names none (-1).
    static int program_index(float value, size_t count);

    uint32_t get_selected_program() const { return selected_program; }

private:
    uint32_t selected_program = 0;
    std::vector<std::unique_ptr<ShaderProgram>> programs;
    Texture noise_texture;
};
