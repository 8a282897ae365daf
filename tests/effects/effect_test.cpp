#include "effects/effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/postproc/gather_step.h"
#include "effects/postproc/radblur.h"
#include "effects/postproc/passes.h"
#include "support/test_support.h"

namespace {

// A pass without a program: the parameter list is all the base class keeps.
class TestPass : public Effects::PostProc {
public:
    TestPass(const std::string& pass_name, const std::vector<std::pair<std::string, float>>& words) {
        name = pass_name;
        for (const auto& word : words) add_param(word.first, word.second);
    }
    const std::vector<float>& values() const { return params; }
};

// Keeps the base render.
class BarePass : public Effects::PostProc {};
class BareEffect : public Effects::Effect {};

TEST(PostProcTest, ParameterNamesJoinPassNameAndWordInOrder) {
    TestPass pass("K2", {{"Rotation", 0.0f}, {"Divisions", 7.0f}});
    EXPECT_EQ(pass.get_name(), "K2");
    EXPECT_EQ(pass.get_param_names(), (std::vector<std::string>{"K2Rotation", "K2Divisions"}));
    EXPECT_EQ(pass.get_param(0), 0.0f);
    EXPECT_EQ(pass.get_param(1), 7.0f);
}

TEST(PostProcTest, APassWithoutParametersHasEmptyLists) {
    TestPass pass("Plain", {});
    EXPECT_TRUE(pass.get_param_names().empty());
    EXPECT_EQ(pass.get_param(0), 0.0f);
    EXPECT_FATAL(pass.set_param(0, 1.0f), "WARNING: Param index 0 for effect Plain is out of bounds\n");
}

TEST(PostProcTest, SetParamStoresAtItsIndexOnly) {
    TestPass pass("Radblur", {{"CntrX", 0.5f}, {"CntrY", 0.5f}, {"Step", 0.9f}, {"Strength", 1.0f}});
    pass.set_param(2, -3.25f);
    EXPECT_EQ(pass.values(), (std::vector<float>{0.5f, 0.5f, -3.25f, 1.0f}));
    pass.set_param(0, 0.0f);
    pass.set_param(3, 1e9f);
    EXPECT_EQ(pass.values(), (std::vector<float>{0.0f, 0.5f, -3.25f, 1e9f}));
}

TEST(PostProcTest, OutOfRangeIndicesReadZeroAndFailToWrite) {
    TestPass pass("Fade", {{"Value", 0.75f}});
    for (int index : {-1, 1, 1000}) {
        EXPECT_EQ(pass.get_param(index), 0.0f) << index;
    }
    EXPECT_FATAL(pass.set_param(1, 0.5f), "WARNING: Param index 1 for effect Fade is out of bounds\n");
    EXPECT_FATAL(pass.set_param(-1, 0.5f), "WARNING: Param index -1 for effect Fade is out of bounds\n");
    // Nothing changed on the way.
    EXPECT_EQ(pass.values(), std::vector<float>{0.75f});
    EXPECT_EQ(pass.get_param_names(), std::vector<std::string>{"FadeValue"});
}

TEST(PostProcTest, BaseUpdateDoesNothingAndBaseRendersAreFatal) {
    BarePass pass;
    EXPECT_EQ(pass.get_name(), "");
    pass.update(64, 32, 1.0f, nullptr);
    EXPECT_FATAL(pass.render(64, 32, 1.0f), "Well this shouldn't happen...");
    BareEffect effect;
    EXPECT_FATAL(effect.render(1.0f), "Virtual render called?");
}

TEST(PassRegistry, TracksAndShaderPathsFollowFromEachRow) {
    const PassInfo* k2 = find_pass("K2");
    ASSERT_NE(k2, nullptr);
    EXPECT_EQ(pass_shader_path(*k2, ".frag"), "data/effects/postproc/kaleidoscope/kaleidoscope.frag");
    EXPECT_EQ(find_pass("Nope"), nullptr);
    // Switch track off, then each parameter at its default, pass after pass.
    const std::vector<TrackDefault> tracks = postproc_track_defaults();
    size_t i = 0;
    for (const PassInfo& pass : postproc_registry()) {
        ASSERT_LT(i, tracks.size());
        EXPECT_EQ(tracks[i].name, std::string("pp") + pass.name);
        EXPECT_EQ(tracks[i++].value, -1.0f);
        for (const PassParam& param : pass.params) {
            EXPECT_EQ(tracks[i].name, std::string("pp") + pass.name + param.word);
            EXPECT_EQ(tracks[i++].value, param.value);
        }
    }
    EXPECT_EQ(i, tracks.size());
}

TEST(GatherStep, AReducedRenderSizeRoundsUpAndIsNeverEmpty) {
    // Rounding up keeps the last full-size column covered by a reduced one.
    const struct {
        int full, divisor, reduced;
    } cases[] = {{1280, 2, 640}, {720, 2, 360}, {1281, 2, 641}, {3, 2, 2}, {2, 2, 1}, {1, 2, 1},
                 {0, 2, 1},      {-4, 2, 1},    {1280, 4, 320}, {720, 4, 180}, {1281, 4, 321}, {3, 4, 1}};
    for (const auto& c : cases) EXPECT_EQ(Effects::reduced_size(c.full, c.divisor), c.reduced) << c.full << " / " << c.divisor;
}

TEST(GatherStep, RadblurGathersAWeakSmearAtAQuarterAndAStrongOneAtHalf) {
    const struct {
        float strength;
        int divisor;
    } cases[] = {{0.05f, 4}, {0.35f, 4}, {Effects::Radblur::kQuarterSizeStrength, 4}, {0.41f, 2},
                 {1.0f, 2},  {-0.3f, 4}, {-0.8f, 2}};
    for (const auto& c : cases) EXPECT_EQ(Effects::Radblur::gather_divisor(c.strength), c.divisor) << c.strength;
}

// The radial blur's rounds read the smear as one round would with every
// combination of their taps: steps 0.5 to 9.5 cut into equal parts, each
// read once at its middle. Here the last round takes `last` taps, as the
// shader would at some pixel.
TEST(RadblurRounds, TogetherReadEveryPartOfTheSmearOnceAtItsMiddle) {
    const struct {
        std::vector<int> spread;
        int last;
    } cases[] = {{{}, 9}, {{}, 48}, {{6, 6}, 1}, {{6, 6}, 10}, {{4}, 3}, {{3, 5, 2}, 7}};
    for (const auto& c : cases) {
        const std::vector<Effects::RadblurRound> plan = Effects::Radblur::rounds(c.spread);
        ASSERT_EQ(plan.size(), c.spread.size() + 1);
        EXPECT_EQ(plan.back().taps, 0) << "the last round's taps follow the pixel's distance";
        std::vector<double> steps{0.0};
        for (const Effects::RadblurRound& round : plan) {
            const int taps = round.taps ? round.taps : c.last;
            std::vector<double> next;
            for (double before : steps)
                for (int i = 0; i < taps; ++i) next.push_back(before + round.start + (i + 0.5) * round.reach / taps);
            steps = next;
        }
        std::sort(steps.begin(), steps.end());
        const double part = 9.0 / static_cast<double>(steps.size());
        for (size_t i = 0; i < steps.size(); ++i)
            ASSERT_NEAR(steps[i], 0.5 + (i + 0.5) * part, 1e-5) << ::testing::PrintToString(c.spread) << " tap " << i;
    }
}

}  // namespace
