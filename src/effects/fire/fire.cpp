#include "effects/fire/fire.h"

#include <GL/glew.h>

#include "system/fatal.h"
#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace Effects {

namespace {

const char* const kFragments[4] = {"data/effects/firesl/firesl.frag", "data/effects/firesl/smokesl.frag",
                                   "data/effects/firesl/milk.frag", "data/effects/firesl/gray.frag"};

}  // namespace

Fire::Fire(int width, int height) {
    // A program or picture that cannot be made ends the run in its own
    // constructor, naming the file.
    for (int m = 0; m < 4; ++m)
        programs[m] = std::make_unique<ShaderProgram>("data/effects/firesl/firesl.vert", kFragments[m]);
    spark_texture = std::make_unique<Texture>("data/effects/firesl/flames.jpg", false, true);
    // The tinted copy the fire shows its result through.
    display_program = std::make_unique<ShaderProgram>(make_shader_texture_color2d("EffectsFire"));
    for (auto& fbo : fbos) {
        // No depth: the targets only ever receive full-screen passes.
        fbo = std::make_unique<FBO>(width, height, FBO_TYPE_RGBA8_NO_DEPTH, 0);
        fbo->push(true);
        fbo->pop();
    }
}

Fire::~Fire() = default;

void Fire::set_mode(int mode_) {
    if (mode_ < FIRE || mode_ > GRAY) FATAL_ERROR("Invalid fire mode " << mode_);
    mode = mode_;
}

void Fire::update(float time) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    current ^= 1;
    if (mode < FIRE || mode > GRAY) FATAL_ERROR("Invalid fire mode!");
    ShaderProgram& program = *programs[mode];

    fbos[current]->push(false);
    program.bind();
    program.set_uniform1f("time", time);
    program.set_uniform1f("image_factor", image_factor);
    program.set_uniform1f("image_shinethrough", image_shinethrough);
    program.set_uniform1f("spark_pct", spark_pct);
    program.set_uniform1i("texPrevious", 0);
    program.set_uniform1i("texImage", 1);
    program.set_uniform1i("texSpark", 2);
    if (image_texture) image_texture->bind(1);
    spark_texture->bind(2);
    fbos[current ^ 1]->draw();
    fbos[current]->pop();

    Texture::unbind(1);
    Texture::unbind(2);
}

void Fire::render(float time) {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    update(time);
    ShaderProgram& program = *display_program;
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    program.set_uniform_vec4("Color", colour, 1);
    fbos[current]->draw();
}

}  // namespace Effects
