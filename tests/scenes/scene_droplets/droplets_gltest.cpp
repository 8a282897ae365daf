// The droplets scene through the frame loop: the marks it uploads at its
// beat clock, the picture from above, and the uploads held to the shader's
// arrays however long the marks take to fade.
#include "scenes/keyed_scene_test.h"
#include "scenes/scene_droplets/droplet_marks.h"
#include "scenes/scene_droplets/droplets.h"
#include "util/math/random.h"

namespace {

using test_support::Frame;

class DropletsTest : public scene_test::KeyedSceneTest {
protected:
    // The brightest channel of the bare water, where no spot lights it.
    static constexpr int kWater = 56;

    void SetUp() override {
        KeyedSceneTest::SetUp();
        prepare(Droplets::tracks);
    }

    // "dropTime" keeps the music's beats (2 a second at 120 bpm).
    static void key_beat_clock() { key_track("dropTime", {{0.0f, 0.0f}, {100.0f, 200.0f}}); }

    // Looking straight down from 130 units (the far plane is at 150), where
    // the picture spans every place a mark can take.
    static void key_top_view() {
        key_track("cameraEyeX", {{0, 0.0f}});
        key_track("cameraEyeY", {{0, 130.0f}});
        key_track("cameraEyeZ", {{0, -0.01f}});
        key_track("cameraUpZ", {{0, 1.0f}});
        key_track("cameraUpY", {{0, 0.0f}});
    }

    void make_droplets() {
        random_seed(1);  // the same places in every test
        make_scene_manager({"Droplets", make_scene<Droplets>});
        scene = static_cast<Droplets*>(manager->get_scenes()[0]);
    }

    int uniform(const char* name) {
        GLhandleARB program = scene->get_program()->get_program();
        GLint value = -1;
        glGetUniformiv(program, glGetUniformLocation(program, name), &value);
        return value;
    }

    Droplets* scene = nullptr;
};

TEST_F(DropletsTest, MakesAMarkAStepOverTheWholeSongAtItsDefaults) {
    make_droplets();
    // Timer mode stands for a song of 99999999 ms: 200000 beats at 120 bpm.
    EXPECT_EQ(scene->get_spot_events().size(), 200000u);
    EXPECT_EQ(scene->get_droplet_events().size(), 100000u);
    frame_at(0.0f, "droplets-defaults");
    EXPECT_EQ(uniform("NumSpots"), 2) << "the first spot and the next to come";
    EXPECT_EQ(uniform("NumDroplets"), 1);
}

TEST_F(DropletsTest, MarksAppearFadeAndSpreadOnTheBeat) {
    key_beat_clock();
    key_top_view();
    make_droplets();
    const struct {
        const char* name;
        float seconds;
        int spots, droplets;
    } cases[] = {
        {"beat 0", 0.0f, 2, 1},
        {"beat 1.2", 0.6f, 2, 1},
        {"beat 2.6: the first droplet has faded", 1.3f, 2, 1},
        {"beat 2.4: two droplets", 1.2f, 2, 2},
        {"beat 3.4", 1.7f, 2, 1},
        {"beat 9.9", 4.95f, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f = frame_at(c.seconds, "droplets-beat-" + std::to_string(static_cast<int>(c.seconds * 20)));
        EXPECT_EQ(uniform("NumSpots"), c.spots);
        EXPECT_EQ(uniform("NumDroplets"), c.droplets);
        EXPECT_GT(lit(f, kWater), 40) << "marks show over the water";
        EXPECT_LT(lit(f, 250), f.width() * f.height() / 50) << "no burnt-out blobs";
    }
}

TEST_F(DropletsTest, RingModeAndSwitchesPickWhatIsUploaded) {
    key_beat_clock();
    key_top_view();
    // Droplets as plain rings, then ripples from 1 s, then none from 2 s;
    // spots off from 3 s.
    key_track("dropCircle", {{0, 1.0f}, {1, 2.0f}, {2, 0.3f}}, SyncKeyType::Step);
    key_track("dropSpots", {{0, 1.0f}, {3, 0.0f}}, SyncKeyType::Step);
    make_droplets();
    auto settings = [this] {
        float v[4] = {0, 0, 0, 0};
        GLhandleARB program = scene->get_program()->get_program();
        glGetUniformfv(program, glGetUniformLocation(program, "DropletSettings"), v);
        return std::vector<float>(v, v + 4);
    };

    Frame single = frame_at(0.7f, "droplets-single-ring");
    EXPECT_EQ(settings(), (std::vector<float>{0.2f, 2.5f, 100.0f, 0.0f}));
    Frame ripples = frame_at(1.2f, "droplets-ripples");
    EXPECT_EQ(settings()[3], 1.0f);
    EXPECT_EQ(uniform("NumDroplets"), 2);
    EXPECT_FALSE(single == ripples);

    // 0.3: the droplets of the last upload stay (two, not the one of beat 5).
    frame_at(2.6f, "droplets-held");
    EXPECT_EQ(uniform("NumDroplets"), 2);
    EXPECT_EQ(settings()[3], 1.0f);
    EXPECT_EQ(uniform("NumSpots"), 2);
    // Spots switched off keep theirs too: still the spots of beat 5.2.
    auto first_spot = [this] {
        float v[3] = {0, 0, 0};
        GLhandleARB program = scene->get_program()->get_program();
        glGetUniformfv(program, glGetUniformLocation(program, "Spots[0]"), v);
        return std::vector<float>(v, v + 3);
    };
    std::vector<float> held = first_spot();
    EXPECT_NEAR(held[2], 0.8f, 1e-4f);
    frame_at(3.3f, "droplets-spots-held");
    EXPECT_EQ(first_spot(), held);
}

TEST_F(DropletsTest, NothingShowsBeforeTheFirstUpload) {
    key_top_view();
    key_track("dropCircle", {{0, 0.0f}});
    key_track("dropSpots", {{0, 0.0f}});
    make_droplets();
    Frame f = frame_at(0.0f, "droplets-nothing");
    EXPECT_EQ(uniform("NumSpots"), 0);
    EXPECT_EQ(uniform("NumDroplets"), 0);
    // Only the pool: dark water in the middle, darker toward its rim.
    EXPECT_LE(f.brightest(), kWater);
    EXPECT_GT(f.at(f.width() / 2, f.height() / 2).brightest(), 16);
    EXPECT_LT(f.at(f.width() / 20, f.height() / 20).brightest(), f.at(f.width() / 2, f.height() / 2).brightest() / 2);
}

TEST_F(DropletsTest, LongFadesUploadNoMoreThanTheShaderHolds) {
    key_top_view();
    key_track("dropTime", {{0, 100.0f}});
    key_track("dropSpFade", {{0, 1000.0f}});
    key_track("dropCiFade", {{0, 1000.0f}});
    make_droplets();
    Frame f = frame_at(0.0f, "droplets-long-fades");
    EXPECT_EQ(uniform("NumSpots"), static_cast<int>(kMaxDropletMarks));
    EXPECT_EQ(uniform("NumDroplets"), static_cast<int>(kMaxDropletMarks));
    EXPECT_GT(lit(f, kWater), 40);
}

}  // namespace
