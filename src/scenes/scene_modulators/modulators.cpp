#include "scenes/scene_modulators/modulators.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "util/math/mat4.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/text/text.h"

Modulators::Modulators() = default;
Modulators::~Modulators() = default;

void Modulators::init() {
    std::vector<int> notes;
    const int count = static_cast<int>(music->get_num_tracks());
    for (int m = 0; m < count; ++m) notes.push_back(static_cast<int>(music->get_num_track_notes(m)));
    ring_ = std::make_unique<IntensityRing>(notes);
    text = std::make_unique<Text>("data/common/fonts/arial.ttf", 72, Text::FONT_TYPE_BUFFER);
}

void Modulators::resize(int w, int h) {
    width = w;
    height = h;
    glViewport(0, 0, w, h);
    if (ring_->tracks() < 1) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, IntensityRing::kSamples, 0, ring_->tracks());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    text->Reshape(w, h);
}

void Modulators::draw_strip(const std::vector<float>& vertices, GLenum mode) {
    shape.set_attribute(0, 2, static_cast<uint32_t>(vertices.size()), vertices.data(), 0);
    shape.draw(mode);
}

void Modulators::draw() {
    const int count = ring_->tracks();
    // Made on the first draw.
    if (!curve_program)
        curve_program = std::make_unique<ShaderProgram>(make_shader_color2d("SceneStagelightsColor2d"));
    ShaderProgram* program = curve_program.get();
    mat4 projection;
    projection.ortho(0, IntensityRing::kSamples, 0, static_cast<float>(count), -1, 1);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    program->set_uniform4f("Color", 1, 1, 1, 1);

    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (count == 0) return;

    const float beat = music->get_beats();
    ring_->advance(beat, [this](int track, float at) { return music->get_note_intensities(track, at); });

    // Notes from the last up to the first, so the first lies on top.
    glLineWidth(2);
    for (int m = 0; m < count; ++m) {
        const float base = static_cast<float>(count - 1 - m);
        const int notes = ring_->notes(m);
        for (int d = notes - 1; d >= 0; --d) {
            const float t = static_cast<float>(d) / static_cast<float>(notes);
            program->set_uniform4f("Color", 0, 1 - t, t, 0.6f);
            glColor4f(0, 1 - t, t, 0.6f);
            draw_strip(curve_fill(*ring_, m, d, base), GL_TRIANGLE_STRIP);
            program->set_uniform4f("Color", 0, 1 - t, t, 1);
            glColor4f(0, 1 - t, t, 1);
            draw_strip(curve_line(*ring_, m, d, base), GL_LINE_STRIP);
        }
    }

    // Row lines and the present.
    glLineWidth(3);
    program->set_uniform4f("Color", 0.7f, 0.7f, 0.7f, 1);
    glColor4f(0.7f, 0.7f, 0.7f, 1);
    std::vector<float> grid;
    for (int i = 0; i < count; ++i)
        grid.insert(grid.end(), {0, static_cast<float>(i), IntensityRing::kSamples, static_cast<float>(i)});
    grid.insert(grid.end(), {256, 0, 256, static_cast<float>(count)});
    draw_strip(grid, GL_LINES);

    text->use_shader();
    glColor4f(1, 1, 1, 1);
    for (int o = 0; o < count; ++o) {
        glPushMatrix();
        glTranslatef(0, static_cast<float>(count - 1 - o) + 0.1f, 0);
        glScalef(0.2f, 0.005f * music->get_max_intensity(o, beat) + 0.01f, 1);
        text->print("%s", modulator_label(o, music->get_track_name(o)).c_str());
        glPopMatrix();
    }
}
