#include "effects/attractor/fullscreen_quad.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstring>

#include "util/math/random.h"

namespace Effects {

unsigned seed_of_time(float time) {
    uint32_t bits;
    std::memcpy(&bits, &time, sizeof bits);
    return bits;
}

void begin_fullscreen_effect(const vec4& colour, float time) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    random_seed(seed_of_time(time));
}

void draw_fullscreen_quad() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, 0.0, 1.0);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

}  // namespace Effects
