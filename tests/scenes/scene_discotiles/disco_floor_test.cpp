#include "support/test_support.h"

#include <cmath>

#include "scenes/scene_discotiles/disco_floor.h"
#include "util/math/random.h"
#include "util/math/scalar.h"

namespace {

// A floor with hand-placed events and all colours white and opaque.
struct Floor {
    DiscoFloor floor;
    std::vector<vec4> colours = std::vector<vec4>(floor.tiles(), vec4(1, 1, 1, 1));

    float alpha(unsigned x, unsigned z) const { return colours[z * floor.side + x].a; }
};

TEST(DiscoFloor, TilesSpanTheFloorAroundTheOrigin) {
    DiscoFloor floor;
    EXPECT_EQ(floor.tiles(), 6400u);
    EXPECT_FLOAT_EQ(floor.tile_centre(0), -44.0f);
    EXPECT_FLOAT_EQ(floor.tile_centre(40), 0.0f);
    EXPECT_FLOAT_EQ(floor.tile_centre(79), 42.9f);
}

TEST(DiscoFloor, EventsEveryTwoAndEveryQuarterBeatDrawTheirTileZFirst) {
    DiscoFloor floor;
    random_seed(1);
    floor.make_events(10.0f);
    ASSERT_EQ(floor.drops.size(), 5u);   // beats 0, 2, 4, 6, 8
    ASSERT_EQ(floor.spots.size(), 40u);  // beats 0 to 9.75
    EXPECT_FLOAT_EQ(floor.drops[4].x, 8.0f);
    EXPECT_FLOAT_EQ(floor.spots[39].x, 9.75f);

    random_seed(1);
    const float z0 = random_range(15, 65), x0 = random_range(15, 65);
    for (int i = 0; i < 8; ++i) random_next();  // the other four drops
    const float spot_z0 = random_range(15, 65), spot_x0 = random_range(15, 65);
    EXPECT_FLOAT_EQ(floor.drops[0].y, x0);
    EXPECT_FLOAT_EQ(floor.drops[0].z, z0);
    EXPECT_FLOAT_EQ(floor.spots[0].y, spot_x0);
    EXPECT_FLOAT_EQ(floor.spots[0].z, spot_z0);
    for (const vec4& spot : floor.spots)
        for (float tile : {spot.y, spot.z}) {
            EXPECT_GE(tile, 15.0f);
            EXPECT_LE(tile, 65.0f);
        }

    floor.make_events(0.0f);
    EXPECT_TRUE(floor.drops.empty());
    EXPECT_TRUE(floor.spots.empty());
}

TEST(DiscoFloor, ScrollIsASineOverTheInstanceNumbersAQuarterTurnABeat) {
    Floor f;
    f.floor.clear_tiles(f.colours);
    f.floor.add_scroll(f.colours, 1.0f);
    EXPECT_NEAR(f.alpha(0, 0), 1.0f, 1e-6f);                           // sin(pi / 2)
    EXPECT_NEAR(f.alpha(3, 0), 0.5f + 0.5f * std::cos(3.0f), 1e-6f);   // sin(3 + pi / 2)
    EXPECT_NEAR(f.alpha(0, 1), 0.5f + 0.5f * std::cos(80.0f), 1e-4f);  // instance 80
    EXPECT_FLOAT_EQ(f.colours[5].r, 1.0f) << "only the alpha changes";
}

TEST(DiscoFloor, DropsGrowAsDiscsOrRingsAndFadeInFiveBeats) {
    const struct {
        float beats;
        bool ring;
        unsigned x;
        float expected;
    } cases[] = {
        {1.0f, false, 45, 0.8f / 3.0f},   // life 0.8, disc front at 8 tiles, 3 inside
        {1.0f, false, 40, 0.8f / 8.0f},   // the centre
        {1.0f, false, 48, 0.0f},          // on the front: e = 0
        {1.0f, false, 50, 0.0f},          // outside the disc
        {1.0f, true, 48, 0.8f / 3.0f},    // ring front at 5 tiles, 3 outside
        {1.0f, true, 45, 0.0f},           // on the ring
        {1.0f, true, 40, 0.0f},           // inside the ring
        {4.5f, true, 0, 0.1f / (std::sqrt(1600.0f) - 22.5f)},  // far tile, nearly faded
        {5.0f, false, 40, 0.0f},          // life 0
        {7.0f, true, 79, 0.0f},           // long gone
        {0.0f, true, 41, 1.0f},           // at its start a ring is a point: 1 / d
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beats << (c.ring ? " ring " : " disc ") << c.x);
        Floor f;
        f.floor.drops = {{0.0f, 40.0f, 40.0f}};
        f.floor.clear_tiles(f.colours);
        f.floor.add_drops(f.colours, c.beats, c.ring);
        EXPECT_NEAR(f.alpha(c.x, 40), c.expected, 1e-5f);
    }
}

TEST(DiscoFloor, DropBrightnessHasNoBoundJustInsideTheFront) {
    Floor f;
    f.floor.drops = {{0.0f, 40.0f, 40.0f}};
    f.floor.clear_tiles(f.colours);
    f.floor.add_drops(f.colours, 0.626f, false);  // front at 5.008 tiles
    EXPECT_GT(f.alpha(45, 40), 100.0f);
}

TEST(DiscoFloor, AFutureDropEndsTheScanOfTheTimeOrderedList) {
    Floor f;
    f.floor.drops = {{0.0f, 40.0f, 40.0f}, {3.0f, 40.0f, 40.0f}, {0.5f, 40.0f, 40.0f}};
    f.floor.clear_tiles(f.colours);
    f.floor.add_drops(f.colours, 1.0f, false);
    EXPECT_NEAR(f.alpha(45, 40), 0.8f / 3.0f, 1e-5f) << "only the first drop counts";
}

TEST(DiscoFloor, SpotsReachFifteenTilesAndFadeInTwoBeats) {
    const struct {
        float beats;
        unsigned x;
        float expected;
    } cases[] = {
        {0.0f, 40, 1.0f},              // full weight at the centre
        {1.0f, 40, 0.5f},              // half faded
        {1.0f, 49, 0.5f * 0.064f},     // 9 tiles away: (1 - 9 / 15)^3
        {1.0f, 55, 0.0f},              // at the reach
        {1.0f, 60, 0.0f},              // beyond it
        {2.0f, 40, 0.0f},              // faded out
        {-0.5f, 40, 0.0f},             // before it starts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beats << " " << c.x);
        Floor f;
        f.floor.spots = {vec4(0.0f, 40.0f, 40.0f, 0.0f), vec4(3.0f, 10.0f, 10.0f, 0.0f)};
        f.floor.clear_tiles(f.colours);
        f.floor.add_spots(f.colours, c.beats);
        EXPECT_NEAR(f.alpha(c.x, 40), c.expected, 1e-6f);
        EXPECT_EQ(f.floor.spots[1].w, 0.0f) << "a spot to come weighs nothing";
    }
}

TEST(DiscoFloor, SpotsStillShowOnceEveryOneHasCome) {
    // The song's last quarter beat: no spot is left to come, yet the last
    // ones are still fading and must not vanish.
    Floor f;
    f.floor.spots = {vec4(0.0f, 40.0f, 40.0f, 0.0f), vec4(0.25f, 20.0f, 20.0f, 0.0f)};
    f.floor.clear_tiles(f.colours);
    f.floor.add_spots(f.colours, 0.5f);
    EXPECT_FLOAT_EQ(f.alpha(40, 40), 0.75f);
    EXPECT_FLOAT_EQ(f.alpha(20, 20), 0.875f);

    f.floor.clear_tiles(f.colours);
    f.floor.add_spots(f.colours, 2.1f);  // the first has faded, the second not
    EXPECT_FLOAT_EQ(f.alpha(40, 40), 0.0f);
    EXPECT_NEAR(f.alpha(20, 20), 0.075f, 1e-6f);
}

TEST(DiscoFloor, TrackValuesSwitchThePatterns) {
    // One drop and one spot at tile (40, 40) from beat 0, read at beat 1 on
    // tile (45, 40): disc 0.8 / 3, ring 0, spot 0.5 * (2 / 3)^3, scroll of
    // instance 3245.
    const float scroll = 0.5f + 0.5f * std::sin(3245.0f + 3.14159265f / 2.0f);
    const float disc = 0.8f / 3.0f;
    const float spot = 0.5f * (2.0f / 3.0f) * (2.0f / 3.0f) * (2.0f / 3.0f);
    const struct {
        float scroll, drops, spots, expected;
    } cases[] = {
        {1, 1, 1, scroll + disc + spot},  // the defaults: all on, drops as discs
        {1, 2, 1, scroll + spot},         // ring mode: the tile is on the ring
        {0, 1, 0, disc},
        {0.5f, 0.5f, 0.6f, spot},         // 0.5 is off
        {0, 1.5f, 0, disc},               // 1.5 is still disc mode
        {-1, 0, 0, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scroll << " " << c.drops << " " << c.spots);
        Floor f;
        f.floor.drops = {{0.0f, 40.0f, 40.0f}};
        f.floor.spots = {vec4(0.0f, 40.0f, 40.0f, 0.0f)};
        f.floor.light(f.colours, 1.0f, c.scroll, c.drops, c.spots);
        EXPECT_NEAR(f.alpha(45, 40), c.expected, 2e-4f);
    }
}

TEST(DiscoFloor, AllPatternsOffLeaveEveryTileDark) {
    Floor f;
    random_seed(7);
    f.floor.make_events(20.0f);
    f.floor.light(f.colours, 9.3f, 0, 0, 0);
    for (const vec4& c : f.colours) ASSERT_EQ(c.a, 0.0f);
}

}  // namespace
