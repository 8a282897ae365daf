#include "effects/oscilloscope/oscilloscope.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <new>

#include "effects/oscilloscope/audio_lines.h"
#include "system/fatal.h"
#include "util/fbo/fbo.h"
#include "util/music/music.h"

namespace Effects {

namespace {

void fixed_function_lines() {
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // The strips are drawn by the fixed-function pipeline.
    glUseProgram(0);
}

void draw_strip(const std::vector<LinePoint>& strip) {
    glLineWidth(2.0f);
    glBegin(GL_LINE_STRIP);
    for (const LinePoint& p : strip) glVertex2f(p.x, p.y);
    glEnd();
}

}  // namespace

Oscilloscope::Oscilloscope(Music* music_, int width, int height)
    : fbo(std::make_unique<FBO>(width, height, FBO_TYPE_RGBA8, 0)), music(music_) {}

Oscilloscope::~Oscilloscope() = default;

void Oscilloscope::add_line(int count, const vec4& colour, float offset) {
    std::vector<float> buffer;
    try {
        if (count < 0) throw std::bad_alloc();
        buffer.assign(static_cast<size_t>(count), 0.0f);
    } catch (const std::exception&) {
        FATAL_ERROR("tempbuf is NULL");
    }
    buffers.push_back(std::move(buffer));
    colours.push_back(colour);
    counts.push_back(count);
    offsets.push_back(offset);
}

void Oscilloscope::render(float) {
    fixed_function_lines();
    fbo->push(true);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (buffers.empty()) add_line(1024, vec4(1.0f, 1.0f, 0.0f, 1.0f), 0.0f);
    for (size_t i = 0; i < buffers.size(); ++i) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        music->get_waveform(buffers[i].data(), counts[i]);
        glColor4f(colours[i].x, colours[i].y, colours[i].z, colours[i].w);
        draw_strip(oscilloscope_strip(buffers[i].data(), counts[i], offsets[i]));
    }
    fbo->pop();
}

void SpectrumBands::render(float) {
    fixed_function_lines();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<float> magnitudes(kSpectrumBins, 0.0f);
    music->get_fft(magnitudes.data(), -1.0f);
    draw_strip(spectrum_strip(magnitudes.data()));
}

}  // namespace Effects
