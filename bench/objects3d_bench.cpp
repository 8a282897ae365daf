// The 3D scene graph at the size the productions draw it: a grid of 6400
// cube instances on a floor, lit by one shadow-casting light (ambient pass,
// six depth faces as wide as the render target, one lit pass), drawn by a
// scene in the real frame loop at 1280 x 720 with 4x multisampling, against
// the renderer's floor and the frame loop with no scenes in the same run,
// frame by frame (time_against_floor in tidewell_show.h): the median frames
// as multiples of the floor's. Needs a display.
#include <benchmark/benchmark.h>

#include <memory>

#include "scenes/scene.h"
#include "tidewell_show.h"
#include "util/camera/camera.h"
#include "util/objects3d/objects3d.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kFrames = 20;
constexpr int kGrid = 80;  // 80 x 80 = 6400 instances

// A scene that is nothing but the graph.
class GridScene : public Scene {
public:
    void init() override {
        camera.look_at(0, 30, 60, 0, 0, 0, 0, 1, 0);
        camera.set_clip(0.5f, 200.0f);
        graph = std::make_unique<Objects3D>();
        graph->cameras.push_back(&camera);
        graph->set_camera(0);
        light.set_position(0, 20, 0);
        light.set_attenuation_from_range(200.0f);
        light.set_shadow_clip_from_scale(50.0f);
        graph->lights.push_back(&light);
        graph->set_shadows(true);
        floor_mesh = create_plane(100, 100, 1);
        cube_mesh = create_cube(0.6f, false);
        graph->add(floor_mesh.get(), &floor_material, nullptr);
        Node* cubes = graph->add(cube_mesh.get(), &cube_material, nullptr);
        cubes->modelViewMatrices.clear();
        for (int i = 0; i < kGrid * kGrid; ++i) {
            mat4 m;
            m.translate(static_cast<float>(i % kGrid - kGrid / 2), 0.5f, static_cast<float>(i / kGrid - kGrid / 2));
            cubes->modelViewMatrices.push_back(m);
        }
    }
    void resize(int w, int h) override {
        Scene::resize(w, h);
        graph->resize(w, h, aspect);
    }
    void draw() override { graph->draw(); }

private:
    Camera camera;
    Light light;
    std::unique_ptr<Objects3D> graph;
    std::unique_ptr<Mesh> floor_mesh, cube_mesh;
    Material floor_material{5};
    Material cube_material{2};
};

const SceneList kGridList = {{"GridScene", make_scene<GridScene>}};

void BM_ShadowedGrid(benchmark::State& state) {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show empty(false);
    static tidewell_show::Show grid(&kGridList, false);
    tidewell_show::time_against_floor(state, empty, grid, "graph", 0.0f, 10.0f, kFrames);
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

}  // namespace

BENCHMARK(BM_ShadowedGrid)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
