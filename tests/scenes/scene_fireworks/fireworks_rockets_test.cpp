#include "support/test_support.h"

#include <cmath>
#include <limits>

#include "scenes/scene_fireworks/fireworks_rockets.h"
#include "util/math/random.h"

namespace {

const float kWhite[3] = {1.0f, 1.0f, 1.0f};

void expect_same_rocket(const FireworksRocket& a, const FireworksRocket& b) {
    EXPECT_EQ(a.position.x, b.position.x);
    EXPECT_EQ(a.position.y, b.position.y);
    EXPECT_EQ(a.position.z, b.position.z);
    EXPECT_EQ(a.velocity.x, b.velocity.x);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.lifetime, b.lifetime);
    EXPECT_EQ(a.start, b.start);
    EXPECT_EQ(a.flying, b.flying);
    ASSERT_EQ(a.sparks.size(), b.sparks.size());
    for (size_t i = 0; i < a.sparks.size(); ++i) {
        EXPECT_EQ(a.sparks[i].velocity.x, b.sparks[i].velocity.x);
        EXPECT_EQ(a.sparks[i].lifetime, b.sparks[i].lifetime);
    }
}

// The alphas of the quads written, in order.
std::vector<float> written_alphas(const std::vector<float>& block, size_t capacity, size_t written) {
    std::vector<float> alphas;
    const size_t colours = capacity * 20;
    for (size_t q = 0; q < written; ++q) alphas.push_back(block[colours + q * 16 + 3]);
    return alphas;
}

TEST(FireworksParticle, AgesAndMovesByTheStepSinceItsLastUpdateEvenBackwards) {
    FireworksParticle p;
    p.launch(vec3(0, 0, 0), vec3(1, 0, 0), 2.0f, kWhite, 1.0f, 2.0f);
    EXPECT_EQ(p.life, 1.0f);
    EXPECT_TRUE(p.flying);
    const struct {
        const char* name;
        float time;
        bool alive;
        float life, x;
    } steps[] = {
        {"a second in", 2.0f, true, 0.5f, 2.0f},
        {"time runs back", 1.5f, true, 0.75f, 1.0f},
        {"before the launch: life above 1", 0.5f, true, 1.25f, -1.0f},
        {"past the lifetime: dead, not moved", 3.5f, false, 0.0f, -1.0f},
        {"back under the lifetime: alive again", 2.5f, true, 0.25f, -3.0f},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(p.update(s.time), s.alive);
        EXPECT_FLOAT_EQ(p.life, s.life);
        EXPECT_FLOAT_EQ(p.position.x, s.x);
        EXPECT_FLOAT_EQ(p.age, s.time - 1.0f);
    }
}

TEST(FireworksShow, MakesFiveRocketsOf400ChildrenAndSizesTheBlockForEveryParticle) {
    FireworksShow show(0.0f);
    ASSERT_EQ(show.rockets.size(), 5u);
    for (const FireworksRocket& rocket : show.rockets) {
        EXPECT_EQ(rocket.children.size(), 400u);
        EXPECT_EQ(rocket.sparks.size(), 30u);
        EXPECT_EQ(rocket.children[399].sparks.size(), 30u);
        EXPECT_TRUE(rocket.children[0].children.empty());
        EXPECT_EQ(rocket.get_size(), 0.25f);
        EXPECT_TRUE(rocket.flying);
        EXPECT_EQ(rocket.position.y, 0.0f);
        EXPECT_EQ(rocket.start, 0.0f);
    }
    EXPECT_EQ(show.particle_count(), 62155u);  // 5 x (31 + 400 x 31)
    EXPECT_EQ(Effects::BillboardLayout(show.particle_count()).total_bytes(), 62155u * 144u);
}

TEST(FireworksShow, RelaunchesAtTheFirstValuesOfItsSeed) {
    // Launched from values drawn in order from the seed track x 1423, within
    // their ranges.
    random_seed(1423);
    FireworksRocket expected(30, 0.25f);
    expected.relaunch(0.0f);
    FireworksShow show(1.0f);
    expect_same_rocket(show.rockets[0], expected);
    for (const FireworksRocket& r : show.rockets) {
        EXPECT_GE(r.position.x, -10.0f);
        EXPECT_LE(r.position.x, 10.0f);
        EXPECT_GE(r.position.z, 0.0f);
        EXPECT_LE(r.position.z, 50.0f);
        EXPECT_NEAR(r.velocity.length(), 1.0f, 1e-5f);
        EXPECT_GE(r.velocity.y, std::cos(30.0f * 3.14159265f / 180.0f) - 1e-5f);  // within 30 degrees of up
        EXPECT_GE(r.speed, 1.0f);
        EXPECT_LE(r.speed, 6.0f);
        EXPECT_GE(r.lifetime, 1.0f);
        EXPECT_LE(r.lifetime, 3.0f);
        EXPECT_EQ(r.colour[1], 0.6f);
    }
}

TEST(FireworksShow, AConstantSeedNeverRelaunchesAndTheSameFramesGiveTheSameShow) {
    FireworksShow a(2.0f), b(2.0f);
    for (float t : {0.1f, 0.2f, 0.3f, 0.25f, 0.4f}) {
        a.advance(t, 2.0f, false);
        b.advance(t, 2.0f, false);
    }
    for (size_t i = 0; i < a.rockets.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.rockets[i].start, 0.0f) << "still the first flight";
        expect_same_rocket(a.rockets[i], b.rockets[i]);
        EXPECT_EQ(a.rockets[i].sparks[7].position.y, b.rockets[i].sparks[7].position.y);
    }
}

TEST(FireworksShow, ASeedChangeRelaunchesEveryRocketFromTheValuesBeforeTheReseed) {
    FireworksShow show(0.0f), reference(0.0f);
    show.advance(0.5f, 0.0f, false);
    show.advance(1.5f, 3.0f, false);
    // What the generator holds after the frame at 0.5 makes the new flights
    // (the generator is the program's one: the reference frame comes after).
    reference.advance(0.5f, 0.0f, false);
    for (FireworksRocket& rocket : reference.rockets) rocket.relaunch(1.5f);
    for (size_t i = 0; i < show.rockets.size(); ++i) {
        SCOPED_TRACE(i);
        expect_same_rocket(show.rockets[i], reference.rockets[i]);
        EXPECT_EQ(show.rockets[i].start, 1.5f);
        EXPECT_EQ(show.rockets[i].position.y, 0.0f) << "no time has passed in the new flight";
    }
    // The next frame at the same seed relaunches nothing.
    show.advance(1.6f, 3.0f, false);
    for (const FireworksRocket& rocket : show.rockets) EXPECT_EQ(rocket.start, 1.5f);
}

TEST(FireworksShow, KeyOneFreezesTheSimulationButNotTheRelaunch) {
    FireworksShow show(0.0f);
    show.advance(0.5f, 0.0f, true);
    EXPECT_EQ(show.rockets[0].age, 0.0f);
    show.advance(0.7f, 1.0f, true);
    EXPECT_EQ(show.rockets[0].start, 0.7f);
    EXPECT_EQ(show.rockets[0].age, 0.0f);
}

TEST(FireworksShow, ARocketWithEverythingFinishedIsRelaunchedAtThatTime) {
    FireworksShow show(0.0f);
    show.advance(0.5f, 0.0f, false);
    // Far past every lifetime in one step: the flight ends and bursts, the
    // sparks die without a flying rocket to respawn them, and the children
    // are not updated in the frame of the burst.
    show.advance(100.0f, 0.0f, false);
    for (const FireworksRocket& rocket : show.rockets) {
        EXPECT_EQ(rocket.start, 100.0f);
        EXPECT_TRUE(rocket.flying);
    }
}

TEST(FireworksRocket, BurstsOnceIntoItsChildrenAndDrawsTheirTrailsThenItsOwn) {
    random_seed(5);
    FireworksRocket rocket(3, 0.25f);
    rocket.add_children(2, 0);
    rocket.relaunch(0.0f);
    std::vector<float> block(rocket.particle_count() * 36);
    BillboardWriter out(block.data(), rocket.particle_count());
    ASSERT_EQ(rocket.particle_count(), 1u + 3u + 2u * 4u);

    // Flying: its own three trail sparks only, at full factor.
    EXPECT_TRUE(rocket.update(rocket.lifetime * 0.5f));
    EXPECT_TRUE(rocket.flying);
    rocket.write_vertices(out);
    EXPECT_EQ(out.written(), 3u);

    // Past its lifetime: it bursts where it is, once.
    const float burst_time = rocket.lifetime + 0.01f;
    rocket.update(burst_time);
    EXPECT_FALSE(rocket.flying);
    for (const FireworksRocket& child : rocket.children) {
        EXPECT_TRUE(child.flying);
        EXPECT_EQ(child.start, burst_time);
        EXPECT_EQ(child.position.x, rocket.position.x);
        EXPECT_EQ(child.position.y, rocket.position.y);
        EXPECT_GE(child.speed, 0.2f);
        EXPECT_LE(child.speed, 3.0f);
        EXPECT_GE(child.lifetime, 2.0f);
        EXPECT_LE(child.lifetime, 12.0f);
        EXPECT_EQ(child.colour[0], rocket.children[0].colour[0]) << "one colour for the burst";
        EXPECT_EQ(child.colour[1], rocket.children[0].colour[1]);
    }
    out.rewind();
    rocket.write_vertices(out);
    EXPECT_EQ(out.written(), 2u * 3u + 3u);

    // A spark of a burst rocket is not respawned: it stays dead.
    const float spark_start = rocket.sparks[0].start;
    rocket.update(burst_time + 1.9f);
    EXPECT_EQ(rocket.sparks[0].start, spark_start);
    EXPECT_EQ(rocket.sparks[0].life, 0.0f);
}

TEST(FireworksRocket, AChildsSparksFadeWithTheChildsLifeAndVanishPastIt) {
    random_seed(9);
    FireworksRocket rocket(2, 0.25f);
    rocket.add_children(1, 0);
    rocket.relaunch(0.0f);
    rocket.update(rocket.lifetime + 0.01f);  // the burst
    const FireworksRocket& child = rocket.children[0];
    std::vector<float> block(rocket.particle_count() * 36);
    BillboardWriter out(block.data(), rocket.particle_count());

    const float mid = child.start + child.lifetime * 0.5f;
    rocket.update(mid);
    rocket.write_vertices(out);
    std::vector<float> alphas = written_alphas(block, rocket.particle_count(), out.written());
    ASSERT_EQ(alphas.size(), 4u);
    for (int i = 0; i < 2; ++i) EXPECT_FLOAT_EQ(alphas[i], child.life * child.sparks[i].life);
    EXPECT_NEAR(child.life, 0.5f, 1e-3f);

    // Past its lifetime the child's factor is below zero: nothing shows.
    rocket.update(child.start + child.lifetime + 0.1f);
    EXPECT_FALSE(child.flying);
    EXPECT_LT(child.life, 0.0f);
    out.rewind();
    rocket.write_vertices(out);
    alphas = written_alphas(block, rocket.particle_count(), out.written());
    for (int i = 0; i < 2; ++i) EXPECT_LE(alphas[i], 0.0f);
}

TEST(FireworksRocket, ChildrenAreAddedAtADepthThatMustExist) {
    FireworksRocket rocket(1, 0.5f);
    EXPECT_FATAL(rocket.add_children(3, 1), "Failed assert children.size() > 0");
    rocket.add_children(2, 0);
    rocket.add_children(3, 1);
    ASSERT_EQ(rocket.children.size(), 2u);
    EXPECT_EQ(rocket.children[1].children.size(), 3u);
    EXPECT_EQ(rocket.children[1].children[2].get_size(), 0.5f);
    EXPECT_EQ(rocket.particle_count(), 2u + 2u * (2u + 3u * 2u));
}

TEST(BillboardWriter, WritesQuadsInTheParticleBlockLayoutAndDropsWhatDoesNotFit) {
    std::vector<float> block(2 * 36, -7.0f);
    BillboardWriter out(block.data(), 2);
    const float rgb[3] = {0.1f, 0.2f, 0.3f};
    out.write(vec3(1, 2, 3), rgb, 0.5f);
    out.write(vec3(4, 5, 6), rgb, 0.25f);
    out.write(vec3(7, 8, 9), rgb, 1.0f);  // no room
    EXPECT_EQ(out.written(), 2u);
    // Positions (4 x 3 a quad), texture coordinates from 24, colours from 40.
    EXPECT_EQ(std::vector<float>(block.begin() + 12, block.begin() + 15), (std::vector<float>{4, 5, 6}));
    EXPECT_EQ(block[23], 6.0f);
    EXPECT_EQ(std::vector<float>(block.begin() + 24, block.begin() + 32), (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(std::vector<float>(block.begin() + 56, block.begin() + 60), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.25f}));
    EXPECT_EQ(block[71], 0.25f);
}

TEST(FireworksSeed, TrackTimes1423TruncatedAndSaturated) {
    const struct {
        float track;
        unsigned seed;
    } cases[] = {
        {0.0f, 0u},
        {1.0f, 1423u},
        {0.5f, 711u},  // 711.5 truncated
        {-1.0f, static_cast<unsigned>(-1423)},
        {1e30f, 2147483647u},
        {std::numeric_limits<float>::infinity(), 2147483647u},
        {-std::numeric_limits<float>::infinity(), 2147483648u},
        {std::numeric_limits<float>::quiet_NaN(), 0u},
    };
    for (const auto& c : cases) EXPECT_EQ(fireworks_seed(c.track), c.seed) << c.track;
}

}  // namespace
