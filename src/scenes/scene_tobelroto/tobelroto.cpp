#include "scenes/scene_tobelroto/tobelroto.h"

#include <GL/glew.h>

#include <cmath>

#include "util/easydraw/easydraw.h"
#include "util/fbo/fbo.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

TobelRoto::TobelRoto() = default;
TobelRoto::~TobelRoto() = default;

void TobelRoto::init() {
    figure.load("data/scenes/tobelroto/harvest_of_the_owls_2017_guys_transparent.png", false, false,
                GL_NEAREST, GL_NEAREST);
    background.load("data/scenes/tobelroto/pegboard_hearts.jpeg", false, true, GL_NEAREST, GL_NEAREST);
    canvas = std::make_unique<FBO>(kCanvasWidth, kCanvasHeight, FBO_TYPE_RGBA8, 0);
}

void TobelRoto::resize(int width, int height) { Scene::resize(width, height); }

void TobelRoto::figure_position(float beats, float* x, float* y) {
    const float a = 50.0f * beats;
    *x = 110.0f + 110.0f * std::sin(a / 100.0f);
    *y = 15.0f + 15.0f * std::cos(a / 71.0f);
}

void TobelRoto::draw() {
    if (!program) {
        program = std::make_unique<ShaderProgram>(make_shader_texture2d("TobelRotoTex"));
        unit_projection = mat4(1);
    }

    canvas->push(true);

    // One unit is one canvas pixel.
    program->bind();
    canvas_projection.ortho(0.0f, static_cast<float>(kCanvasWidth), 0.0f,
                            static_cast<float>(kCanvasHeight), 1.0f, -1.0f);
    program->set_uniform_matrix4fv("ProjectionMatrix", canvas_projection.data(), 1, false);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // The background repeats at one texel per canvas pixel from the lower
    // left corner.
    background.bind_and_enable();
    easydraw_quad_uv(0.0f, 0.0f, static_cast<float>(kCanvasWidth), static_cast<float>(kCanvasHeight), 0.0f,
                     static_cast<float>(kCanvasWidth) / static_cast<float>(background.get_width()), 0.0f,
                     static_cast<float>(kCanvasHeight) / static_cast<float>(background.get_height()));

    float x = 0.0f, y = 0.0f;
    figure_position(music->get_beats(), &x, &y);
    figure.draw(x, y, static_cast<float>(figure.get_width()), static_cast<float>(figure.get_height()));

    canvas->pop();

    // The canvas over the whole viewport of the scene, blending still on.
    program->set_uniform_matrix4fv("ProjectionMatrix", unit_projection.data(), 1, false);
    canvas->draw();
}
