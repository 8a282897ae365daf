// The particle cloud of the Geysirs scene (10000 particles, 40000 vertices,
// streamed every frame) drawn by a scene of its own in the real frame loop at
// 1280 x 720 with 4x multisampling, against the renderer's floor and the
// frame loop with no scenes in the same run, frame by frame
// (time_against_floor in tidewell_show.h). BM_Particles10000 reports the
// median frames as multiples of the floor's; BM_Particles10000DepthSorted
// the same with the back-to-front sort. Needs a display.
#include <GL/glew.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "effects/particles.h"
#include "scenes/scene.h"
#include "tidewell_show.h"
#include "util/music/music.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kFrames = 300;
constexpr float kSeconds = 60.0f;

// The Geysirs cloud: scattered on a polyline through sphere points of
// radius 5, seen from a camera that circles it; drawn back to front when
// `kDepthSorted`.
template <bool kDepthSorted>
class ParticleCloud : public Scene {
public:
    void init() override {
        cloud = std::make_unique<Effects::Particles>(Effects::ParticleSettings{vec3(0.3f, 0.6f, 1.0f), 10000}, "");
        cloud->add_shape(5.0f, false);
        cloud->depth_sort = kDepthSorted;
    }
    void draw() override {
        const float beats = music->get_beats();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(aspect), 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(15.0 * std::sin(beats * 0.1), 5.0, 15.0 * std::cos(beats * 0.1), 0, 0, 0, 0, 1, 0);
        cloud->update(0.0f, 3);
        cloud->render(beats);
    }

private:
    std::unique_ptr<Effects::Particles> cloud;
};

const SceneList kCloud = {{"ParticleCloud", make_scene<ParticleCloud<false>>}};
const SceneList kSortedCloud = {{"ParticleCloud", make_scene<ParticleCloud<true>>}};

tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(false);
    return show;
}

void BM_Particles10000(benchmark::State& state) {
    tidewell_show::Show& empty = empty_loop();
    static tidewell_show::Show particles(&kCloud, false);
    tidewell_show::time_against_floor(state, empty, particles, "particles", 0.0f, kSeconds, kFrames);
}

void BM_Particles10000DepthSorted(benchmark::State& state) {
    tidewell_show::Show& empty = empty_loop();
    static tidewell_show::Show particles(&kSortedCloud, false);
    tidewell_show::time_against_floor(state, empty, particles, "particles", 0.0f, kSeconds, kFrames);
}

}  // namespace

BENCHMARK(BM_Particles10000)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Particles10000DepthSorted)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
