#include "scenes/scene_korrinsvg/korrinsvg.h"

#include <GL/glew.h>

void KorrinSVG::draw() {
    glEnable(GL_BLEND);
    // Only colour: the depth buffer keeps what the frame loop cleared.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    vectors.set_scale(0.25f, 0.25f);
    vectors.draw();
}
