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

TEST(ProductionScenes, EveryProductionListsItsScenesInOrder) {
    struct Case {
        int id;
        std::vector<std::string> names;
    } cases[] = {
        {0, {"TobelRoto"}},
        {1, {"DiscoTiles", "SjakkVektor", "Geysirs", "TranceTunnel", "Fireworks", "SquarePeeps",
             "GlowShapes", "SiriusText", "Droplets"}},
        {2, {"MusicVectors", "MusicVectorNotes"}},
        {3, {"TextIntro", "TextRoto", "TextPiano", "TextDrop", "TextRibbons", "Modulators"}},
        {4, {"JqGlowShapes", "JqBoxes", "SiriusText"}},
        {5, {"ShaderToy", "KorrinSVG", "NukeSL", "KorrinImage", "KorrinBunker", "NukeBalls",
             "NukeBlast", "NukeText", "NukeFallout", "NukeFloor"}},
    };
    for (const Case& c : cases) {
        const SceneList* list = production_scene_list(c.id);
        ASSERT_NE(list, nullptr) << c.id;
        std::vector<std::string> names;
        for (const SceneEntry& entry : *list) names.push_back(entry.class_name);
        EXPECT_EQ(names, c.names) << c.id;
    }
    EXPECT_EQ(production_scene_list(-1), nullptr);
    EXPECT_EQ(production_scene_list(6), nullptr);
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
    EXPECT_FALSE(production_playable(6));
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
    Scene* made = make_scene<EmptyScene>();
    EXPECT_NE(dynamic_cast<EmptyScene*>(made), nullptr);
    delete made;
}

}  // namespace
