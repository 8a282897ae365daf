// Frame costs as multiples of the renderer's floor at 1280 x 720 with 4x
// multisampling: the least a frame of this engine can do, in raw GL in the
// same process (clear a multisampled target, resolve it, draw it to the
// window, swap). Every iteration draws one frame of each case in turn, so all
// see the same machine load: the floor, the floor with one more full-screen
// hop through a second target (what one pass costs at best), the engine's
// empty frame loop, the frame loop with each pass alone at its defaults, and
// a frame of the default show "Wembrel - tidewell" at times spread over the
// whole show. Each case reports its median frame over the floor's median
// ("<case>_x"); the floor's median milliseconds is "floor_ms". The table is
// printed at the end. Needs a display.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/postproc/passes.h"
#include "system/window.h"
#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kFrames = 120;
// The default show's length in beats; its tempo is its production row's.
constexpr float kShowBeats = 226.0f;

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) throw std::runtime_error("floor shader does not compile");
    return shader;
}

// The minimal frame in plain GL: a multisampled colour target, its resolve
// texture, one more texture for the hop, and a program that copies a texture
// over the viewport with one triangle.
class Floor {
public:
    Floor() {
        glGenFramebuffers(3, fbos_);
        glGenRenderbuffers(1, &multisampled_);
        glBindRenderbuffer(GL_RENDERBUFFER, multisampled_);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, kSamples, GL_RGBA8, kWidth, kHeight);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos_[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, multisampled_);
        glGenTextures(2, textures_);
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, textures_[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWidth, kHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glBindFramebuffer(GL_FRAMEBUFFER, fbos_[i + 1]);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures_[i], 0);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        program_ = glCreateProgram();
        glAttachShader(program_, compile(GL_VERTEX_SHADER,
                                         "#version 130\n"
                                         "out vec2 uv;\n"
                                         "void main() {\n"
                                         "  uv = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
                                         "  gl_Position = vec4(uv * 2.0 - 1.0, 0.0, 1.0);\n"
                                         "}\n"));
        glAttachShader(program_, compile(GL_FRAGMENT_SHADER,
                                         "#version 130\n"
                                         "uniform sampler2D picture;\n"
                                         "in vec2 uv;\n"
                                         "void main() { gl_FragColor = texture(picture, uv); }\n"));
        glLinkProgram(program_);
    }
    ~Floor() {
        glDeleteProgram(program_);
        glDeleteTextures(2, textures_);
        glDeleteRenderbuffers(1, &multisampled_);
        glDeleteFramebuffers(3, fbos_);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    // One frame, with `hops` extra copies through the second target.
    void frame(int hops) {
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glViewport(0, 0, kWidth, kHeight);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos_[0]);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbos_[1]);
        glBlitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glUseProgram(program_);
        glActiveTexture(GL_TEXTURE0);
        int source = 0;
        for (int hop = 0; hop < hops; ++hop) {
            glBindFramebuffer(GL_FRAMEBUFFER, fbos_[2 - source]);
            glBindTexture(GL_TEXTURE_2D, textures_[source]);
            glDrawArrays(GL_TRIANGLES, 0, 3);
            source = 1 - source;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindTexture(GL_TEXTURE_2D, textures_[source]);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glUseProgram(0);
        glBindTexture(GL_TEXTURE_2D, 0);
        swap_buffers();
        glFinish();
    }

private:
    GLuint fbos_[3] = {};
    GLuint multisampled_ = 0;
    GLuint textures_[2] = {};
    GLuint program_ = 0;
};

struct Case {
    std::string name;
    std::function<void(float seconds)> frame;
    std::vector<double> ms;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void BM_FloorTable(benchmark::State& state) {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    Floor floor;
    tidewell_show::Show empty(nullptr, false);
    std::vector<std::unique_ptr<tidewell_show::Show>> passes;
    std::vector<Case> cases;
    cases.push_back({"floor", [&](float) { floor.frame(0); }, {}});
    cases.push_back({"floor_hop", [&](float) { floor.frame(1); }, {}});
    cases.push_back({"empty", [&](float seconds) { empty.frame_at(seconds); }, {}});
    for (const PassInfo& pass : postproc_registry()) {
        passes.push_back(std::make_unique<tidewell_show::Show>(
            nullptr, false, std::vector<tidewell_show::TrackValue>{{std::string("pp") + pass.name, 0.0f}}));
        tidewell_show::Show* show = passes.back().get();
        cases.push_back({pass.name, [show](float seconds) { show->frame_at(seconds); }, {}});
    }
    tidewell_show::Show show(true);
    cases.push_back({"show", [&](float seconds) { show.frame_at(seconds); }, {}});

    // First-use work (shader builds, texture uploads) out of the measurement.
    for (Case& c : cases) c.frame(0.0f);
    const float show_seconds = kShowBeats * 60.0f / find_production("tidewell")->bpm;
    int frame = 0;
    for (auto _ : state) {
        const float seconds =
            show_seconds * static_cast<float>(frame) / static_cast<float>(kFrames);
        for (Case& c : cases) {
            const auto start = tidewell_show::Clock::now();
            c.frame(seconds);
            c.ms.push_back(tidewell_show::ms_since(start));
        }
        frame = (frame + 1) % kFrames;
    }
    const double floor_ms = median(cases[0].ms);
    state.counters["floor_ms"] = floor_ms;
    std::printf("\n| case | median ms | x floor |\n|---|---|---|\n");
    for (const Case& c : cases) {
        const double ms = median(c.ms);
        if (&c != &cases[0]) state.counters[c.name + "_x"] = ms / floor_ms;
        std::printf("| %s | %.2f | %.2f |\n", c.name.c_str(), ms, ms / floor_ms);
    }
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

}  // namespace

BENCHMARK(BM_FloorTable)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
