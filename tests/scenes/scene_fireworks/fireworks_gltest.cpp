// The fireworks scene through the frame loop: rockets launch orange from the
// ground, burst into coloured showers a few seconds in, relaunch when the
// seed track changes, and the keys 1 and 2 freeze and hide them.
#include "scenes/keyed_scene_test.h"
#include "scenes/scene_fireworks/fireworks.h"

namespace {

using test_support::Frame;

class FireworksTest : public scene_test::KeyedSceneTest {
protected:
    void SetUp() override {
        KeyedSceneTest::SetUp();
        prepare(Fireworks::tracks);
        // "frwxTime" runs in seconds of music.
        key_track("frwxTime", {{0.0f, 0.0f}, {100.0f, 100.0f}});
    }

    Fireworks* make_fireworks() {
        make_scene_manager({"Fireworks", make_scene<Fireworks>});
        return static_cast<Fireworks*>(manager->get_scenes()[0]);
    }

    // Lit pixels whose blue is above their red: not the rockets' orange.
    static int not_orange(const Frame& f) {
        int n = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) n += f.at(x, y).b > f.at(x, y).r + 8;
        return n;
    }
};

TEST_F(FireworksTest, RocketsRiseOrangeThenBurstIntoColouredShowers) {
    Fireworks* scene = make_fireworks();
    EXPECT_EQ(scene->get_show().particle_count(), 62155u);
    // Frames every fifth of a second, as a show draws them (a trail lives
    // by being respawned from frame to frame; sparks live 0.3 s at least);
    // some are looked at.
    const struct {
        int tenth;
        bool all_burst;  // rocket lifetimes are 1 .. 3, burst lifetimes 2 .. 12
    } looks[] = {{2, false}, {6, false}, {16, false}, {32, true}, {46, false}, {70, false}};
    size_t look = 0;
    for (int tenth = 2; tenth <= 70 && look < std::size(looks); tenth += 2) {
        const bool looking = looks[look].tenth == tenth;
        Frame f = frame_at(tenth / 10.0f, looking ? "fireworks-" + std::to_string(tenth) : "");
        if (!looking) continue;
        SCOPED_TRACE(tenth);
        const bool all_burst = looks[look++].all_burst;
        EXPECT_GT(lit(f), 0);
        if (tenth < 10) {
            EXPECT_EQ(scene->get_quads_drawn(), 5u * 30u) << "only the five trails";
            EXPECT_EQ(not_orange(f), 0);
        } else if (tenth > 30) {
            EXPECT_GT(scene->get_quads_drawn(), 400u * 30u) << "showers";
            EXPECT_GT(not_orange(f), 0);
        }
        if (all_burst) {
            for (const FireworksRocket& rocket : scene->get_show().rockets) EXPECT_FALSE(rocket.flying);
            EXPECT_EQ(scene->get_quads_drawn(), 5u * (30u + 400u * 30u));
        }
        EXPECT_LT(lit(f, 250), f.width() * f.height() / 20) << "no burnt-out white";
    }
    EXPECT_EQ(look, std::size(looks));
}

TEST_F(FireworksTest, ASeedChangeRelaunchesEveryRocketAtTheCurrentTime) {
    key_track("frwxSeed", {{0.0f, 0.0f}, {2.0f, 4.0f}}, SyncKeyType::Step);
    Fireworks* scene = make_fireworks();
    frame_at(1.0f, "fireworks-seed-before");
    for (const FireworksRocket& rocket : scene->get_show().rockets) EXPECT_EQ(rocket.start, 0.0f);
    frame_at(2.5f, "fireworks-seed-changed");
    for (const FireworksRocket& rocket : scene->get_show().rockets) {
        EXPECT_FLOAT_EQ(rocket.start, 2.5f);
        EXPECT_TRUE(rocket.flying);
    }
}

TEST_F(FireworksTest, SeedsBeyondTheIntegerRangeAreSaturated) {
    for (float seed : {1e30f, -1e30f, std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(seed);
        key_track("frwxSeed", {{0.0f, 0.0f}, {1.0f, seed}}, SyncKeyType::Step);
        make_fireworks();
        frame_at(0.5f, "fireworks-seed-plain");
        Frame f = frame_at(1.5f, "fireworks-seed-huge");
        EXPECT_GT(lit(f), 0);
    }
}

TEST_F(FireworksTest, KeyOneFreezesAndKeyTwoHides) {
    Fireworks* scene = make_fireworks();
    unsigned char* keys = scene->get_keys();
    ASSERT_NE(keys, nullptr);
    Frame moving = frame_at(1.0f, "fireworks-keys-moving");
    keys['1'] = 1;
    Frame frozen = frame_at(1.4f, "fireworks-keys-frozen");
    EXPECT_TRUE(frozen == moving);
    keys['2'] = 1;
    EXPECT_EQ(frame_at(1.6f, "fireworks-keys-hidden").brightest(), 0);
    keys['1'] = keys['2'] = 0;
    EXPECT_FALSE(frame_at(1.8f, "fireworks-keys-again") == moving);
}

}  // namespace
