// The note monitor's ring of samples: filled ahead on the first frame,
// walked back on a jump back, a long jump forward computing only what stays
// in the window with the same result, unwritten samples read as 0; its
// labels and curve vertices.
#include "scenes/scene_modulators/intensity_ring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Samples the beat itself (note 0) and its negative (note 1), counting
// calls per track.
struct BeatSampler {
    std::vector<int> calls = std::vector<int>(2, 0);
    std::vector<float> beats;
    IntensityRing::Sampler fn() {
        return [this](int track, float beat) {
            ++calls[static_cast<size_t>(track)];
            if (track == 0) beats.push_back(beat);
            return std::vector<float>{beat, -beat};
        };
    }
};

TEST(IntensityRing, TheFirstFrameFillsTheRingFiveBeatsAheadAndLeavesThePastEmpty) {
    IntensityRing ring({2, 1});
    BeatSampler s;
    EXPECT_EQ(ring.sample(0, 0, 0), 0.0f);  // nothing computed reads as 0
    ring.advance(0.0f, s.fn());
    EXPECT_GE(s.calls[0], 254);
    EXPECT_LE(s.calls[0], 256);
    EXPECT_EQ(s.calls[1], s.calls[0]);
    EXPECT_NEAR(ring.cursor(), 5.12f, 0.021f);
    EXPECT_NEAR(ring.sample(0, 0, 0), ring.cursor(), 1e-4);
    EXPECT_NEAR(ring.sample(0, 1, 0), -ring.cursor(), 1e-4);
    EXPECT_NEAR(ring.sample(0, 0, 100), ring.cursor() - 2.0f, 1e-3);
    EXPECT_EQ(ring.sample(0, 0, 300), 0.0f);  // the left half: no values yet
    EXPECT_EQ(ring.sample(1, 0, 300), 0.0f);

    // The next frame computes only what the beat's advance brings in.
    s.calls = {0, 0};
    ring.advance(0.1f, s.fn());
    EXPECT_NEAR(s.calls[0], 5, 1);
}

TEST(IntensityRing, AJumpBackWalksTheRingBackComputingTheOldEnd) {
    IntensityRing ring({2, 1});
    BeatSampler s;
    ring.advance(20.0f, s.fn());
    s.calls = {0, 0};
    s.beats.clear();
    ring.advance(19.0f, s.fn());
    EXPECT_NEAR(s.calls[0], 50, 1);
    // Each walked-back sample is the one 10.24 beats before the cursor.
    EXPECT_NEAR(s.beats.back(), ring.cursor() - 10.24f, 1e-3);
    EXPECT_NEAR(ring.cursor(), 24.12f, 0.021f);
    EXPECT_NEAR(ring.sample(0, 0, 0), ring.cursor(), 1e-3);
    EXPECT_NEAR(ring.sample(0, 0, 511), ring.cursor() - 10.24f, 1e-3);
}

TEST(IntensityRing, ALongJumpComputesOnlyTheWindowWithTheSameResult) {
    BeatSampler jumped, walked;
    IntensityRing a({2, 1}), b({2, 1});
    a.advance(0.0f, jumped.fn());
    jumped.calls = {0, 0};
    a.advance(100.0f, jumped.fn());
    EXPECT_LE(jumped.calls[0], IntensityRing::kSamples + 2);
    for (float beat = 0.0f; beat <= 100.0f; beat += 0.5f) b.advance(beat, walked.fn());
    EXPECT_NEAR(a.cursor(), b.cursor(), 0.03f);
    for (int back : {0, 1, 255, 256, 400, 511})
        EXPECT_NEAR(a.sample(0, 0, back) - a.cursor(), b.sample(0, 0, back) - b.cursor(), 3e-3) << back;

    // Back again over the whole show, bounded the same way.
    jumped.calls = {0, 0};
    a.advance(1.0f, jumped.fn());
    EXPECT_LE(jumped.calls[0], IntensityRing::kSamples + 4);
    EXPECT_NEAR(a.cursor(), 6.12f, 0.03f);
    EXPECT_NEAR(a.sample(0, 0, 511), a.cursor() - 10.24f, 3e-3);
}

TEST(IntensityRing, ABeatThatIsNotFiniteChangesNothing) {
    IntensityRing ring({1});
    BeatSampler s;
    for (float beat : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()})
        ring.advance(beat, s.fn());
    EXPECT_EQ(s.calls[0], 0);
    EXPECT_EQ(ring.cursor(), 0.0f);
}

TEST(IntensityRing, NoTracksOrFewerValuesThanNotesAreHarmless) {
    IntensityRing none({});
    none.advance(3.0f, [](int, float) { return std::vector<float>{}; });
    EXPECT_EQ(none.tracks(), 0);
    IntensityRing short_track({3});
    short_track.advance(1.0f, [](int, float) { return std::vector<float>{1.0f}; });
    EXPECT_EQ(short_track.sample(0, 0, 0), 1.0f);
    EXPECT_EQ(short_track.sample(0, 2, 0), 0.0f);
}

TEST(ModulatorLabels, NumbersAreRightAlignedInTwoCharacters) {
    EXPECT_EQ(modulator_label(3, "Bass"), " 3: Bass");
    EXPECT_EQ(modulator_label(12, "Old Vinyl Piano"), "12: Old Vinyl Piano");
}

TEST(ModulatorCurves, TheNewestSampleIsAtTheRightAndAFullIntensityReachesNineTenthsOfTheRow) {
    IntensityRing ring({1});
    ring.advance(0.0f, [](int, float) { return std::vector<float>{1.0f}; });
    const std::vector<float> fill = curve_fill(ring, 0, 0, 2.0f);
    ASSERT_EQ(fill.size(), 512u * 4);
    EXPECT_EQ(fill[0], 511.0f);
    EXPECT_NEAR(fill[1], 2.9f, 1e-6);
    EXPECT_EQ(fill[3], 2.0f);
    EXPECT_EQ(fill[fill.size() - 4], 0.0f);
    EXPECT_EQ(fill[fill.size() - 3], 2.0f);  // the empty past lies on the baseline

    const std::vector<float> line = curve_line(ring, 0, 0, 2.0f);
    ASSERT_EQ(line.size(), 514u * 2);
    EXPECT_EQ(line[0], 511.0f);
    EXPECT_EQ(line[1], 2.0f);
    EXPECT_NEAR(line[3], 2.9f, 1e-6);
    EXPECT_EQ(line[line.size() - 2], 0.0f);
    EXPECT_EQ(line[line.size() - 1], 2.0f);
}

}  // namespace
