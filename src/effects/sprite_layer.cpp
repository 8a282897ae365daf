#include "effects/sprite_layer.h"

#include <algorithm>
#include <vector>

#include "util/fbo/fbo.h"
#include "util/texture/texture.h"

namespace Effects {

namespace {

GLuint deferred_target = 0;
std::vector<SpriteLayer*> waiting_layers;

}  // namespace

SpriteLayer::SpriteLayer() : layer(std::make_unique<FBO>(1, 1, FBO_TYPE_RGBA8_NO_DEPTH, 0)) {}

SpriteLayer::~SpriteLayer() {
    if (waiting) waiting_layers.erase(std::find(waiting_layers.begin(), waiting_layers.end(), this));
}

void SpriteLayer::defer_over(GLuint target) { deferred_target = target; }

SpriteLayer::DrawArea SpriteLayer::DrawArea::current() {
    DrawArea area;
    glGetIntegerv(GL_VIEWPORT, area.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, area.scissor);
    area.scissor_test = glIsEnabled(GL_SCISSOR_TEST);
    return area;
}

void SpriteLayer::DrawArea::apply() const {
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    if (scissor_test)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
}

void SpriteLayer::add_waiting() {
    if (waiting_layers.empty()) return;
    const DrawArea before = DrawArea::current();
    for (SpriteLayer* waiting : waiting_layers) {
        waiting->waiting = false;
        waiting->end_area.apply();
        waiting->add();
    }
    waiting_layers.clear();
    before.apply();
}

bool SpriteLayer::begin() {
    GLint viewport[4] = {}, samples = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SAMPLES, &samples);
    in_use = samples > 1 && viewport[3] >= kMinLayerRows;
    if (!in_use) return false;
    // Resizing binds frame buffer 0 and the new texture on the active unit;
    // push must find the target to go back to, and the sprites their picture.
    GLint texture = 0, found_target = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &found_target);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    // Drawn twice in a frame, the layer must give up what still waits
    // before it is cleared; all that waits goes, in order, onto the target
    // it waits for.
    if (waiting) {
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(waiting_over));
        add_waiting();
        glUseProgram(static_cast<GLuint>(program));
    }
    layer->resize(viewport[2] > 0 ? viewport[2] : 1, viewport[3]);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(found_target));
    deferred = deferred_target != 0 && static_cast<GLuint>(found_target) == deferred_target;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved_clear);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    layer->push(true);
    glClearColor(saved_clear[0], saved_clear[1], saved_clear[2], saved_clear[3]);
    return true;
}

void SpriteLayer::end(Order order) {
    if (!in_use) return;
    in_use = false;
    layer->pop();
    if (deferred && order == Order::last_in_scene) {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &waiting_over);
        end_area = DrawArea::current();
        waiting = true;
        waiting_layers.push_back(this);
        return;
    }
    add();
}

void SpriteLayer::add() {
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
