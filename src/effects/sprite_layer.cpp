#include "effects/sprite_layer.h"

#include "util/fbo/fbo.h"
#include "util/texture/texture.h"

namespace Effects {

SpriteLayer::SpriteLayer() : layer(std::make_unique<FBO>(1, 1, FBO_TYPE_RGBA8_NO_DEPTH, 0)) {}

SpriteLayer::~SpriteLayer() = default;

bool SpriteLayer::begin() {
    GLint viewport[4] = {}, samples = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SAMPLES, &samples);
    in_use = samples > 1 && viewport[3] >= kMinLayerRows;
    if (!in_use) return false;
    // Resizing binds frame buffer 0 and the new texture on the active unit;
    // push must find the target to go back to, and the sprites their picture.
    GLint target = 0, texture = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &target);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    layer->resize(viewport[2] > 0 ? viewport[2] : 1, viewport[3]);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved_clear);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    layer->push(true);
    glClearColor(saved_clear[0], saved_clear[1], saved_clear[2], saved_clear[3]);
    return true;
}

void SpriteLayer::end() {
    if (!in_use) return;
    in_use = false;
    layer->pop();
    glGetIntegerv(GL_BLEND_SRC_RGB, &saved_blend[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &saved_blend[1]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &saved_blend[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &saved_blend[3]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // Over the whole viewport: every layer pixel lands on its own pixel,
    // sampled at its centre.
    Texture::use_default_shader();
    layer->draw();
    glBlendFuncSeparate(static_cast<GLenum>(saved_blend[0]), static_cast<GLenum>(saved_blend[1]),
                        static_cast<GLenum>(saved_blend[2]), static_cast<GLenum>(saved_blend[3]));
    glActiveTexture(GL_TEXTURE0);
}

}  // namespace Effects
