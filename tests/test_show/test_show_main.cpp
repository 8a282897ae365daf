// A show of two test scenes in place of a production's: colour bands that
// drift with the beat, and a translucent square that circles over them as
// the overlay. It plays production 0's settings (no soundtrack: the timer
// clock) in 4:3, reading its data from the disk of the working folder, which
// must hold data/effects/, data/common/fonts/ and a track file for every track
// of the frame loop.
// The end-to-end tests run it; it is also the quickest way to look at the
// frame loop and the passes.
#include <GL/glew.h>

#include <cmath>
#include <cstdio>

#include "program.h"
#include "scenes/scene.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/utils.h"
#include "util/math/vector.h"
#include "util/music/music.h"

namespace {

// Fixed-function drawing over the unit square: no program (the frame loop
// leaves its last one bound), no depth test.
void unit_square_projection() {
    glUseProgram(0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
}

void quad(float x0, float y0, float x1, float y1) {
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

class BandsScene : public Scene {
public:
    void init() override {}
    void draw() override {
        unit_square_projection();
        const float beats = music->get_beats();
        const int bands = 12;
        glBegin(GL_QUADS);
        for (int i = 0; i < bands; ++i) {
            vec3 rgb = hsl_to_rgb(vec3(std::fmod(i / float(bands) + beats * 0.05f, 1.0f), 0.7f, 0.5f));
            glColor4f(rgb.x, rgb.y, rgb.z, 1.0f);
            quad(i / float(bands), 0.0f, (i + 1) / float(bands), 1.0f);
        }
        glEnd();
    }
};

class SquareScene : public Scene {
public:
    void init() override {}
    void draw() override {
        unit_square_projection();
        const float angle = music->get_beats() * 0.5f;
        const float x = 0.5f + 0.25f * std::cos(angle);
        const float y = 0.5f + 0.25f * std::sin(angle);
        glBegin(GL_QUADS);
        glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
        quad(x - 0.1f, y - 0.1f * aspect, x + 0.1f, y + 0.1f * aspect);
        glEnd();
    }
};

const SceneList kShowScenes = {
    {"BandsScene", make_scene<BandsScene>},
    {"SquareScene", make_scene<SquareScene>},
};

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ZemblaSystem::data_mode = DataFileMode::Plain;
    ZemblaSystem::aspect_numerator = 4;
    ZemblaSystem::aspect_denominator = 3;
    SystemProgramSteps steps(&kShowScenes);
    return run_program(steps);
}
