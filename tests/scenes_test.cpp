// The arithmetic of the frame loop: which scene a track value names, the
// order of the post-processing chain and the sound of each recorded frame;
// and the productions' scene lists.
#include "scenes.h"

#include <cmath>
#include <limits>
#include <set>

#include "scenes/scene.h"
#include "system/productions.h"
#include "system/zemblasystem.h"
#include "support/test_support.h"

namespace {

TEST(SceneIndex, TrackValuesTruncateTowardZeroAndOnlyListedScenesCount) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float value;
        size_t count;
        int expected;
    } cases[] = {
        {0.0f, 3, 0},    {0.9f, 3, 0},   {-0.5f, 3, 0},   {-0.99f, 3, 0}, {2.99f, 3, 2},
        {-1.0f, 3, -1},  {3.0f, 3, -1},  {0.0f, 0, -1},   {nan, 3, -1},   {inf, 3, -1},
        {-inf, 3, -1},   {1e30f, 3, -1}, {-1e30f, 3, -1}, {3e9f, 3, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scene_index(c.value, c.count), c.expected) << c.value << " of " << c.count;
}

TEST(PostprocChain, SwitchedOnPassesRunInTrackOrderWithTiesInListOrder) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        std::vector<float> values;
        std::vector<int> order;
    } cases[] = {
        {{-1, -1, -1}, {}},
        {{-1, 0, -1}, {1}},                 // exactly 0 switches a pass on
        {{2, 0.5f, 0.5f}, {1, 2, 0}},       // ties keep list order
        {{0.5f, 2, 0.5f}, {0, 2, 1}},
        {{nan, 1, -0.0f, -0.001f}, {2, 1}},  // NaN is off; -0 is 0
        {{3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<int> order;
        for (const PostprocOrder& entry : postproc_chain(c.values)) {
            order.push_back(entry.index);
            EXPECT_EQ(entry.value, c.values[entry.index]);
        }
        EXPECT_EQ(order, c.order);
    }
    // Only the values decide; the index breaks no ties.
    EXPECT_FALSE(postproc_order_less({0, 1.0f}, {5, 1.0f}));
    EXPECT_FALSE(postproc_order_less({5, 1.0f}, {0, 1.0f}));
    EXPECT_TRUE(postproc_order_less({5, 0.5f}, {0, 1.0f}));
}

TEST(OverlayRect, TheAreaIsCutToTheTargetAndIsEmptyWhenNoneOfItIsOnIt) {
    const struct {
        const char* name;
        ViewportRect area, expected;
    } cases[] = {
        {"inside", {10, 20, 30, 40}, {10, 20, 30, 40}},
        {"the whole target", {0, 0, 640, 360}, {0, 0, 640, 360}},
        {"over the lower left corner", {-5, -8, 20, 20}, {0, 0, 15, 12}},
        {"over the upper right corner", {630, 350, 20, 20}, {630, 350, 10, 10}},
        {"larger than the target", {-100, -100, 1000, 1000}, {0, 0, 640, 360}},
        {"right of the target", {640, 10, 5, 5}, {0, 0, 0, 0}},
        {"below the target", {10, -20, 5, 20}, {0, 0, 0, 0}},
        {"empty", {10, 10, 0, 5}, {0, 0, 0, 0}},
        {"negative size", {10, 10, -5, 5}, {0, 0, 0, 0}},
        {"so far off it would wrap", {2147483000, 0, 2147483000, 10}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const ViewportRect got = overlay_rect(c.area, 640, 360);
        EXPECT_EQ(got.x, c.expected.x) << c.name;
        EXPECT_EQ(got.y, c.expected.y) << c.name;
        EXPECT_EQ(got.width, c.expected.width) << c.name;
        EXPECT_EQ(got.height, c.expected.height) << c.name;
    }
}

TEST(AudioSlice, EachFrameGetsItsShareOfWholeSampleFrames) {
    // 48000 Hz stereo: 3200 values a frame, as the plain division gives.
    AudioSlice s = audio_slice(0, 30, 48000, 2, 48000 * 2 * 10);
    EXPECT_EQ(s.first, 0u);
    EXPECT_EQ(s.count, 3200u);
    s = audio_slice(7, 30, 48000, 2, 48000 * 2 * 10);
    EXPECT_EQ(s.first, 7u * 3200u);
    EXPECT_EQ(s.count, 3200u);
    s = audio_slice(1, 30, 44100, 2, 44100 * 2 * 10);
    EXPECT_EQ(s.first, 2940u);
    EXPECT_EQ(s.count, 2940u);

    // Rates that 30 does not divide: slices start on sample frames (even
    // values in stereo), alternate in length, and a second's worth of frames
    // holds exactly a second of sound.
    for (unsigned rate : {32000u, 11025u, 22050u, 8000u}) {
        for (unsigned channels : {1u, 2u, 6u}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
            const uint32_t total = rate * channels * 4;
            uint64_t next = 0;
            for (unsigned frame = 0; frame < 30 * 4; ++frame) {
                s = audio_slice(frame, 30, rate, channels, total);
                ASSERT_EQ(s.first, next) << frame;
                ASSERT_EQ(s.first % channels, 0u);
                ASSERT_EQ(s.count % channels, 0u);
                next = s.first + s.count;
            }
            EXPECT_EQ(next, total);
        }
    }
}

TEST(AudioSlice, TheEndOfTheSongCutsTheLastSlicesAndLeavesTheRestEmpty) {
    // 1470 values a frame (22050 Hz stereo); a song of 2.5 frames and a
    // dangling half sample frame.
    const uint32_t num_samples = 1470 * 2 + 734 + 1;
    EXPECT_EQ(audio_slice(1, 30, 22050, 2, num_samples).count, 1470u);
    AudioSlice last = audio_slice(2, 30, 22050, 2, num_samples);
    EXPECT_EQ(last.first, 2940u);
    EXPECT_EQ(last.count, 734u);  // whole sample frames only
    for (unsigned frame : {3u, 4u, 1000000u}) {
        AudioSlice after = audio_slice(frame, 30, 22050, 2, num_samples);
        EXPECT_EQ(after.count, 0u) << frame;
    }
    // Less than one sample frame left: nothing.
    EXPECT_EQ(audio_slice(0, 30, 22050, 2, 1).count, 0u);
    // No sound at all, or no format.
    EXPECT_EQ(audio_slice(0, 30, 44100, 2, 0).count, 0u);
    EXPECT_EQ(audio_slice(0, 30, 0, 0, 1000).count, 0u);
    // Far into a long recording the frame number does not overflow.
    AudioSlice far = audio_slice(4000000, 30, 48000, 2, UINT32_MAX);
    EXPECT_EQ(far.first, uint64_t(4000000) * 3200);
    EXPECT_EQ(far.count, 0u);
}

TEST(RecordingProgress, TheSongsFramesAreCountedUpToTheLastPartOfAFrame) {
    const struct {
        uint32_t num_samples;
        unsigned channels, rate;
        unsigned frames;
    } cases[] = {
        {44100 * 2 * 106, 2, 44100, 3180},      // 106 s exactly
        {44100 * 2 * 106 + 2, 2, 44100, 3181},  // one sample frame more starts a frame
        {44100 * 2 * 106 + 1, 2, 44100, 3180},  // half a sample frame is no sound
        {1470, 1, 44100, 1},
        {0, 2, 44100, 0},
        {UINT32_MAX, 2, 48000, 1342178},        // no overflow on the way
        {1000, 0, 44100, 0},                    // no format: no end to count to
        {1000, 2, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recording_total_frames(c.num_samples, c.channels, c.rate, 30), c.frames)
            << c.num_samples << " values, " << c.channels << " channels at " << c.rate;
}

TEST(RecordingProgress, ALineTellsTheFrameTheShareThePaceAndTheTimeLeft) {
    const struct {
        unsigned frames, total;
        double seconds;
        const char* line;
    } cases[] = {
        {300, 3180, 12.5, "Recorded frame 300 of 3180 (9% of the song), 24.0 frames a second, about 2 min 00 s left\n"},
        {3180, 3180, 100.0, "Recorded frame 3180 of 3180 (100% of the song), 31.8 frames a second, about 0 s left\n"},
        // The frame after the song's end (the recording stops on it) is counted in the total.
        {3181, 3180, 100.0, "Recorded frame 3181 of 3181 (100% of the song), 31.8 frames a second, about 0 s left\n"},
        {10, 100000, 5.0, "Recorded frame 10 of 100000 (0% of the song), 2.0 frames a second, about 13 h 53 min left\n"},
        // Before any time has passed there is no pace to estimate from.
        {1, 3180, 0.0, "Recorded frame 1 of 3180 (0% of the song), 0.0 frames a second\n"},
        // Without a soundtrack the show has no end.
        {90, 0, 3.0, "Recorded frame 90, 30.0 frames a second\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(recording_progress(c.frames, c.total, c.seconds), c.line);
}

TEST(RecordingProgress, TimesAreRoundedToWholeSecondsAndShortenedWhenLong) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{-3.0, "0 s"}, {0.4, "0 s"}, {59.4, "59 s"}, {59.6, "1 min 00 s"}, {125.0, "2 min 05 s"},
                 {3599.0, "59 min 59 s"}, {3600.0, "1 h 00 min"}, {3725.0, "1 h 02 min"}};
    for (const auto& c : cases) EXPECT_EQ(rough_duration(c.seconds), c.text) << c.seconds;
}

TEST(ProductionScenes, EachProductionsListHoldsItsRowsScenesInOrderWithTheirMakers) {
    for (const ProductionRow& row : production_table()) {
        SCOPED_TRACE(row.name);
        const SceneList* list = production_scene_list(row.id);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->size(), row.scenes.size());
        for (size_t i = 0; i < list->size(); ++i) {
            EXPECT_STREQ((*list)[i].class_name, row.scenes[i]);
            EXPECT_EQ((*list)[i].make, scene_maker(row.scenes[i])) << row.scenes[i];
        }
    }
    const int past_the_last = static_cast<int>(production_table().size());
    EXPECT_EQ(production_scene_list(-1), nullptr);
    EXPECT_EQ(production_scene_list(past_the_last), nullptr);
}

TEST(ProductionScenes, TableRowsAreInIdOrderWithDistinctNames) {
    // The build takes a row's position for its id and its name for the
    // executable, run directory and data folder.
    std::set<std::string> names;
    for (size_t i = 0; i < production_table().size(); ++i) {
        const ProductionRow& row = production_table()[i];
        EXPECT_EQ(row.id, static_cast<int>(i)) << row.name;
        EXPECT_TRUE(names.insert(row.name).second) << row.name << " twice";
        EXPECT_EQ(find_production(row.id), &row);
        EXPECT_EQ(find_production(std::string(row.name)), &row);
    }
    EXPECT_EQ(production_id("pelltide"), find_production("pelltide")->id);
    EXPECT_FATAL(production_id("nonesuch"), "No production named nonesuch");
    // What `zembla` plays without a name, as README.md tells.
    EXPECT_STREQ(find_production(kDefaultProduction)->name, "tidewell");
    EXPECT_EQ(find_production(-1), nullptr);
    EXPECT_EQ(find_production(static_cast<int>(production_table().size())), nullptr);
    EXPECT_EQ(find_production("nonesuch"), nullptr);
}

TEST(ProductionScenes, AProductionIsPlayableWhenEverySceneHasAMaker) {
    EXPECT_NE(scene_maker("JqBoxes"), nullptr);
    EXPECT_EQ(scene_maker("NoSuchScene"), nullptr);
    EXPECT_TRUE(production_playable(production_id("tidewell")));
    EXPECT_TRUE(production_playable(production_id("debug")));
    EXPECT_FALSE(production_playable(-1));
    EXPECT_FALSE(production_playable(static_cast<int>(production_table().size())));
}

class EmptyScene : public Scene {
public:
    void init() override {}
    void draw() override {}
};

TEST(ProductionScenes, MissingClassesAreNamedInListOrder) {
    EXPECT_EQ(missing_scene_classes({}), "");
    EXPECT_EQ(missing_scene_classes({{"A", make_scene<EmptyScene>}}), "");
    EXPECT_EQ(missing_scene_classes({{"A", nullptr}, {"B", make_scene<EmptyScene>}, {"C", nullptr}}), "A, C");
    std::unique_ptr<Scene> made = make_scene<EmptyScene>();
    EXPECT_NE(dynamic_cast<EmptyScene*>(made.get()), nullptr);
}

}  // namespace
