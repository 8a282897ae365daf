// The rotozoomer: its table, a frame, and its 20 ms phases on a manual clock.
#include "util/ascii/rotozoomer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ascii_test_support.h"
#include "support/test_support.h"
#include "util/ascii/raw_picture.h"

namespace {

class RotozoomerTest : public ::testing::Test {
protected:
    RotozoomerTest() {
        Rotozoomer::reset_clock();
        // Texel (v, u) is (u + v) % 16 in the file's bit order.
        std::vector<uint8_t> bytes(256 * 256);
        for (int v = 0; v < 256; ++v)
            for (int u = 0; u < 256; ++u) bytes[v * 256 + u] = static_cast<uint8_t>((u + v) % 16);
        folder_.write("tiles.raw", bytes);
    }
    ~RotozoomerTest() override { Rotozoomer::reset_clock(); }
    static uint8_t texel(int v, int u) { return kRawRemap[((u & 255) + (v & 255)) % 16]; }

    ascii_test::DataFolder folder_;
    AsciiScreen screen_;
};

TEST(RotozoomerTable, DirectionAndZoomEntries) {
    const std::array<int, 512> t = rotozoomer_table();
    EXPECT_EQ(t[0], 3276);  // (0 + 0.8) x 4096
    EXPECT_EQ(t[256], 0);
    EXPECT_EQ(t[64], static_cast<int>((std::sin(static_cast<float>(64 * 1.41176 * 0.0174532)) + 0.8) * 4096));
    EXPECT_NEAR(t[64], (1.0 + 0.8) * 4096, 2);        // 90.35 degrees
    EXPECT_NEAR(t[256 + 64], 2 * 4096, 2);
    EXPECT_NEAR(t[192], (-1.0 + 0.8) * 4096, 4);      // 271 degrees
}

TEST_F(RotozoomerTest, ScaleZeroPaintsTexelZeroZeroEverywhere) {
    Rotozoomer roto(&screen_, "tiles.raw");
    roto.draw(3000, -2000, 0);
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 80; ++j) {
            ASSERT_EQ(screen_.char_at(i, j), 219);
            ASSERT_EQ(screen_.fg_at(i, j), texel(0, 0));
            ASSERT_EQ(screen_.bg_at(i, j), 0);
        }
}

TEST_F(RotozoomerTest, AFrameStepsAlongRowsAndTurnsAQuarterDownColumns) {
    Rotozoomer roto(&screen_, "tiles.raw");
    // dx = 4096, scale 4096 / 10 would be one texel a cell; with scale 410
    // a = (4096 x 4100) >> 12 = 4100, just over one texel.
    roto.draw(4096, 0, 410);
    for (int j = 0; j < 80; ++j) EXPECT_EQ(screen_.fg_at(0, j), texel(0, (j * 4100) >> 12)) << j;
    // Down the rows V grows by a: row i, column 0 is texel (i, 0).
    for (int i = 0; i < 50; ++i) EXPECT_EQ(screen_.fg_at(i, 0), texel((i * 4100) >> 12, 0)) << i;
    // Negative steps wrap around the tile.
    roto.draw(-4096, 0, 410);
    EXPECT_EQ(screen_.fg_at(0, 1), texel(0, (-4100) >> 12));
}

TEST_F(RotozoomerTest, TickDrawsThenAdvancesOneStepPerTwentyMilliseconds) {
    ascii_test::ManualTicks ticks(1000);
    Rotozoomer roto(&screen_, "tiles.raw");
    const std::array<int, 512>& t = roto.table();
    AsciiScreen expected;
    auto frame_of = [&](int angle, int zoom) {
        Rotozoomer reference(&expected, "tiles.raw");
        reference.draw(t[angle], t[(angle + 128) & 255], t[256 + zoom]);
    };
    auto same = [&] {
        for (int i = 0; i < 50; ++i)
            for (int j = 0; j < 80; ++j)
                if (screen_.fg_at(i, j) != expected.fg_at(i, j)) return false;
        return true;
    };

    roto.tick();  // first call: draws (0, 0), the clock starts now
    EXPECT_EQ(roto.angle(), 0);
    EXPECT_EQ(roto.zoom(), 0);
    ticks.now += 100;
    roto.tick();  // still draws (0, 0), then five steps
    frame_of(0, 0);
    EXPECT_TRUE(same());
    EXPECT_EQ(roto.angle(), 251);
    EXPECT_EQ(roto.zoom(), 5);
    ticks.now += 10;
    roto.tick();  // draws (251, 5), then one step: the clock runs ahead to 120 ms
    frame_of(251, 5);
    EXPECT_TRUE(same());
    EXPECT_EQ(roto.zoom(), 6);
    ticks.now += 10;
    roto.tick();
    EXPECT_EQ(roto.zoom(), 6);
}

TEST_F(RotozoomerTest, ClockSurvivesTheTickCountWrapping) {
    ascii_test::ManualTicks ticks(0xFFFFFFF0u);
    Rotozoomer roto(&screen_, "tiles.raw");
    roto.tick();
    ticks.now += 40;  // wraps to 0x18
    roto.tick();
    EXPECT_EQ(roto.zoom(), 2);
}

TEST_F(RotozoomerTest, ShortOrForeignPicturesEndTheRun) {
    folder_.write("short.raw", std::string(65535, '\0'));
    EXPECT_FATAL(Rotozoomer(&screen_, "short.raw"), "File short.raw is only 65535 bytes, expected 256x256 image!");
    EXPECT_FATAL(Rotozoomer(&screen_, "none.raw"), "Failed to load file none.raw");
}

}  // namespace
