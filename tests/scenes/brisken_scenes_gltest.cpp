// The scene-graph scenes of "Wembrel - brisken" (the disco floor, the
// ball-and-stick tree, the cubes on a plane), built by the scene manager on a
// real context and drawn into a 320 x 180 target, with the camera tracks set
// as the production sets them. Screenshots go to $ZEMBLA_SCREENSHOT_DIR.
#include <filesystem>

#include "scenes/production_scenes.h"
#include "scenes/scene_discotiles/discotiles.h"
#include "scenes/scene_sjakkvektor/sjakkvektor.h"
#include "scenes/scene_squarepeeps/squarepeeps.h"
#include "scenes/test_scenes.h"
#include "support/gl_frame.h"

namespace {

using scene_test::write_track;
using test_support::Frame;

constexpr int kWidth = 320;
constexpr int kHeight = 180;

const SceneList kBriskenGraphScenes = {
    {"DiscoTiles", make_scene<DiscoTiles>},
    {"SjakkVektor", make_scene<SjakkVektor>},
    {"SquarePeeps", make_scene<SquarePeeps>},
};

class BriskenScenesTest : public scene_test::SceneManagerTest {
protected:
    void SetUp() override {
        SceneManagerTest::SetUp();
        ZemblaSystem::width = kWidth;
        ZemblaSystem::height = kHeight;
        for (const char* folder : {"data/util", "data/common/images"})
            std::filesystem::create_directory_symlink(test_support::source_path(folder), folder);
        for (const SceneTracks* table : {&DiscoTiles::tracks, &SjakkVektor::tracks})
            for (const SceneTrack& track : *table) write_track(track.name, track.value);
    }

    void look_from(float x, float y, float z) {
        write_track("cameraEyeX", x);
        write_track("cameraEyeY", y);
        write_track("cameraEyeZ", z);
    }

    // One frame of scene `index` at the music time `seconds` (120 bpm).
    Frame frame_of(int index, float seconds) {
        write_track("ActiveScene1st", static_cast<float>(index));
        make_manager(&kBriskenGraphScenes);
        manager->get_music()->set_time(seconds);
        manager->frame();
        EXPECT_NO_GL_ERROR();
        return Frame(kWidth, kHeight);
    }

    template <typename T>
    T* scene(int index) {
        return dynamic_cast<T*>(manager->get_scenes().at(static_cast<size_t>(index)));
    }

    static int lit(const Frame& f, int level) {
        int n = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) n += f.at(x, y).brightest() > level;
        return n;
    }
};

TEST_F(BriskenScenesTest, RegistersTheirTracksInListOrderAndTheCubesNone) {
    make_manager(&kBriskenGraphScenes);
    const std::vector<SyncValue>& values = manager->get_music()->sync_values;
    const size_t own = scene_test::manager_tracks().size();
    ASSERT_EQ(values.size(), own + 4);
    const char* names[] = {"discScroll", "discDrops", "discSpots", "ballsProgress"};
    const float defaults[] = {1, 1, 1, 15};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(values[own + i].name, names[i]);
        EXPECT_FLOAT_EQ(values[own + i].value, defaults[i]);
        EXPECT_NE(values[own + i].track, nullptr) << "tracked";
    }
}

TEST_F(BriskenScenesTest, DiscoFloorIsOneNodeOf6400TilesLitByTheirAlphas) {
    look_from(1, 60, -5);
    const Frame lit_floor = frame_of(0, 3.0f);  // beat 6: wave, drops and spots
    lit_floor.keep("brisken-disco");
    DiscoTiles* disco = scene<DiscoTiles>(0);
    Node* node = disco->get_node();
    ASSERT_EQ(node->modelViewMatrices.size(), 6400u);
    ASSERT_EQ(disco->get_material()->diffuseColors.size(), 6400u);
    // Tile (x, z) is instance z * 80 + x at ((x - 40) * 1.1, 0, (z - 40) * 1.1).
    const mat4& corner = node->modelViewMatrices[79 * 80 + 0];
    EXPECT_FLOAT_EQ(corner.at(3, 0), -44.0f);
    EXPECT_FLOAT_EQ(corner.at(3, 2), 42.9f);
    // Drops every 2 beats and spots every quarter beat over the song.
    const float beats = manager->get_music()->get_length_beats();
    EXPECT_EQ(disco->get_floor().drops.size(), static_cast<size_t>(std::ceil(beats / 2)));
    // The colours drawn are the floor's brightness at this beat.
    std::vector<vec4> expected(6400, vec4(1, 1, 1, 1));
    DiscoFloor floor = disco->get_floor();
    floor.light(expected, manager->get_music()->get_beats(), 1, 1, 1);
    for (size_t i : {0u, 3240u, 6399u}) EXPECT_FLOAT_EQ(disco->get_material()->diffuseColors[i].a, expected[i].a);
    EXPECT_GT(lit(lit_floor, 40), kWidth * kHeight / 8);

    for (const char* track : {"discScroll", "discDrops", "discSpots"}) write_track(track, 0.0f);
    const Frame dark = frame_of(0, 3.0f);
    EXPECT_EQ(lit(dark, 8), 0) << "no pattern, no light";
}

TEST_F(BriskenScenesTest, TreeKeepsItsInstancesAndGrowsWithItsTrack) {
    look_from(3, 4, -8);
    write_track("ballsProgress", 0.0f);
    const Frame collapsed = frame_of(1, 0.0f);
    SjakkVektor* tree = scene<SjakkVektor>(1);
    ASSERT_EQ(tree->get_ball_node()->modelViewMatrices.size(), 156u);
    ASSERT_EQ(tree->get_stick_node()->modelViewMatrices.size(), 155u);
    EXPECT_GT(tree->get_half_size(), 1.0f);
    EXPECT_FLOAT_EQ(tree->get_camera().get_zfar(), 10.0f * tree->get_half_size());

    write_track("ballsProgress", 105.0f);
    const Frame grown = frame_of(1, 0.0f);
    grown.keep("brisken-tree");
    tree = scene<SjakkVektor>(1);
    ASSERT_EQ(tree->get_ball_node()->modelViewMatrices.size(), 156u);
    ASSERT_EQ(tree->get_stick_node()->modelViewMatrices.size(), 155u);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(tree->get_ball_node()->modelViewMatrices[0].get(k), mat4().get(k));
    EXPECT_GT(lit(grown, 30), 4 * lit(collapsed, 30)) << "the grown tree covers far more";
    // The one light is blue: grey balls with blue highlights.
    int blue = 0, red = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            blue += grown.at(x, y).b;
            red += grown.at(x, y).r;
        }
    EXPECT_GT(blue, red + red / 5);
}

TEST_F(BriskenScenesTest, CubesStandOnThePlaneWithTheSkyOnTheBigOne) {
    const Frame cubes = frame_of(2, 0.0f);
    cubes.keep("brisken-cubes");
    SquarePeeps* peeps = scene<SquarePeeps>(2);
    Objects3D* graph = peeps->get_objects();
    // The root and six nodes; the small cubes at the corners.
    ASSERT_EQ(graph->nodes.size(), 7u);
    const float corners[4][2] = {{5, 5}, {5, -5}, {-5, 5}, {-5, -5}};
    for (int i = 0; i < 4; ++i) {
        const mat4& m = graph->nodes[static_cast<size_t>(i) + 2]->modelViewMatrices[0];
        EXPECT_FLOAT_EQ(m.at(3, 0), corners[i][0]);
        EXPECT_FLOAT_EQ(m.at(3, 2), corners[i][1]);
    }
    EXPECT_FLOAT_EQ(peeps->get_camera().get_znear(), 0.5f);
    EXPECT_FLOAT_EQ(peeps->get_camera().get_zfar(), 15.0f);
    const vec3 light = SquarePeeps::light_position(manager->get_music()->get_beats());
    EXPECT_FLOAT_EQ(peeps->get_light().get_position().x, light.x);
    EXPECT_FLOAT_EQ(peeps->get_light().get_position().z, light.z);
    // Its shadow faces keep their own size, not the render width.
    EXPECT_EQ(peeps->get_light().shadow_size, SquarePeeps::kShadowSize);
    EXPECT_NE(peeps->get_light().shadow_size, kWidth);
    // The big cube's lit front fills the middle of the picture in the sky's blue.
    const test_support::Rgba middle = cubes.at(kWidth / 2, kHeight / 2);
    EXPECT_GT(middle.b, middle.r + 20);
    EXPECT_GT(lit(cubes, 40), kWidth * kHeight / 10);

    const Frame later = frame_of(2, 2.0f);  // beat 4: both have moved on
    EXPECT_FALSE(later == cubes);
}

}  // namespace
