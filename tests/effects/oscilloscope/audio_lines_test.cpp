// The audio displays' arithmetic: the oscilloscope strip and the spectrum's
// band table and heights.
#include <cmath>
#include <vector>

#include "effects/oscilloscope/audio_lines.h"
#include "support/test_support.h"

namespace {

using namespace Effects;

TEST(SpectrumBands, TheFirstTenAreSingleBinsAndTheyWidenToTheTop) {
    const auto& bands = spectrum_bands();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(bands[i].first, i);
        EXPECT_EQ(bands[i].last, i + 1);
        EXPECT_EQ(bands[i].n(), 11);
    }
    const struct {
        int band, first, last, n;
    } cases[] = {
        {10, 10, 13, 13}, {11, 13, 16, 13}, {20, 131, 169, 48}, {26, 612, 792, 190}, {27, 792, 1023, 241},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bands[c.band].first, c.first) << c.band;
        EXPECT_EQ(bands[c.band].last, c.last) << c.band;
        EXPECT_EQ(bands[c.band].n(), c.n) << c.band;
    }
    // Every band starts where the one before ended, and bin 1023 is never read.
    for (int i = 1; i < kSpectrumBands; ++i) EXPECT_EQ(bands[i].first, bands[i - 1].last);
}

TEST(SpectrumBands, SilenceLiesAtZeroAndALoudBandSaturates) {
    std::vector<float> bins(kSpectrumBins, 0.0f);
    std::vector<LinePoint> silent = spectrum_strip(bins.data());
    ASSERT_EQ(silent.size(), 28u);
    for (int i = 0; i < 28; ++i) {
        EXPECT_FLOAT_EQ(silent[i].x, i / 27.0f);
        EXPECT_EQ(silent[i].y, 0.0f);
    }
    bins[3] = 0.25f;      // band 3 alone: sqrt(0.25 / log10(11)) x 1.2
    bins[11] = 100.0f;    // band 10: saturates
    bins[1023] = 100.0f;  // past the last band: never read
    std::vector<LinePoint> strip = spectrum_strip(bins.data());
    EXPECT_FLOAT_EQ(strip[3].y, std::sqrt(0.25f / std::log10(11.0f)) * 1.2f);
    EXPECT_EQ(strip[10].y, 1.0f);
    EXPECT_EQ(strip[27].y, 0.0f);
    EXPECT_EQ(strip[2].y, 0.0f);
}

TEST(OscilloscopeStrip, OneVertexPerStereoPairAroundTheOffset) {
    const float samples[] = {0.2f, 0.2f, -0.5f, 0.1f, 1.0f, 1.0f, 0.3f};
    const struct {
        const char* name;
        int count;
        float offset;
        std::vector<LinePoint> expected;
    } cases[] = {
        {"three pairs", 6, 0.0f, {{0.0f, 0.3f}, {2.0f / 6, -0.3f}, {4.0f / 6, 1.5f}}},
        {"offset 0.5", 4, 0.5f, {{0.0f, 0.8f}, {0.5f, 0.2f}}},
        // An odd count: the last sample has no partner and is not read.
        {"odd count", 7, 0.0f, {{0.0f, 0.3f}, {2.0f / 7, -0.3f}, {4.0f / 7, 1.5f}}},
        {"one sample", 1, 0.0f, {}},
        {"none", 0, 0.0f, {}},
    };
    for (const auto& c : cases) {
        std::vector<LinePoint> strip = oscilloscope_strip(samples, c.count, c.offset);
        ASSERT_EQ(strip.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < strip.size(); ++i) {
            EXPECT_FLOAT_EQ(strip[i].x, c.expected[i].x) << c.name << " " << i;
            EXPECT_NEAR(strip[i].y, c.expected[i].y, 1e-6f) << c.name << " " << i;
        }
    }
}

}  // namespace
