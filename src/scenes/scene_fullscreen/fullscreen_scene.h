// Scenes whose whole picture is one shader pair drawn over the render target:
// the scene builds the pair in init and, every frame, feeds it a clock (and
// whatever else its tracks say) and covers the target once. What shows is
// entirely the fragment shader's.
#pragma once

#include <memory>

#include "scenes/scene.h"

class ShaderProgram;

// The state every full-screen quad of the shader scenes is drawn in: blending
// by source alpha on, depth test off, `program` bound with the unit-square
// projection as "ProjectionMatrix". The caller sets its own uniforms and
// draws easydraw_fullscreen_quad.
void bind_fullscreen_program(ShaderProgram& program);

class FullScreenShaderScene : public Scene {
public:
    FullScreenShaderScene(const char* vertex_file, const char* fragment_file);
    ~FullScreenShaderScene() override;

    // Builds the shader pair; a missing or broken file ends the run.
    void init() override;
    // bind_fullscreen_program, the scene's uniforms, the full-screen quad.
    void draw() override;

protected:
    // Sets the scene's own uniforms on the bound program.
    virtual void set_uniforms(ShaderProgram& bound) = 0;

    std::unique_ptr<ShaderProgram> program;

private:
    const char* vertex_file_;
    const char* fragment_file_;
};
