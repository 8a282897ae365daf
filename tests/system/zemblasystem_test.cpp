#include "support/test_support.h"

#include <iterator>
#include <string>
#include <vector>

#include "system/productions.h"
#include "system/zemblasystem.h"

namespace {

// Puts the production and its settings back to the static defaults around
// each test, since they are process-wide.
class Productions : public ::testing::Test {
protected:
    void SetUp() override { reset_to_defaults(); }
    void TearDown() override {
        reset_to_defaults();
        ZemblaSystem::production = saved_production_;
    }
    static void reset_to_defaults() {
        ZemblaSystem::title = "Internal debugging";
        ZemblaSystem::music_file = "";
        ZemblaSystem::logo_file = "";
        ZemblaSystem::loading_screen = 0;
        ZemblaSystem::fade_time_ms = 0;
        ZemblaSystem::bpm = 75.0f;
    }
    int saved_production_ = ZemblaSystem::production;
};

// The productions as their data were authored: each show's timeline, music
// and scene indices were written against these ids, titles, soundtracks and
// scene lists. The rows are written out here rather than read from the
// production table, so that a change to a row (or two rows trading places)
// has to be made in both on purpose.
TEST_F(Productions, EachIdPlaysTheProductionItWasAuthoredAs) {
    struct Row {
        int id;
        const char* name;
        const char* title;
        const char* music;
        const char* logo;
        int style;
        int fade_ms;
        float bpm;
        std::vector<std::string> scenes;  // the scene classes the "ActiveScene" tracks name, in order
    } rows[] = {
        {0, "debug", "Internal debugging", "", "", 0, 0, 75, {"TobelRoto"}},
        {1, "brisken", "Wembrel - brisken", "data/music/Krestel_-_Brisken.mp3", "", 2, 1000, 75,
         {"DiscoTiles", "SjakkVektor", "Geysirs", "TranceTunnel", "Fireworks", "SquarePeeps", "GlowShapes",
          "SiriusText", "Droplets"}},
        {2, "pelltide", "Pelltide", "data/music/grovelight_bassintro.xml",
         "data/common/images/orvenhal_logo_16_9.png", 0, 500, 75, {"MusicVectors", "MusicVectorNotes"}},
        {3, "quendle", "Quendle", "data/music/quendle.xml", "", 1, 0, 155,
         {"TextIntro", "TextRoto", "TextPiano", "TextDrop", "TextRibbons", "Modulators"}},
        {4, "tidewell", "Wembrel - tidewell", "data/music/Krestel_-_Tidewell.mp3", "", 2, 1000, 128,
         {"JqGlowShapes", "JqBoxes", "SiriusText"}},
        {5, "korrin", "Orvenhal Korrin System", "data/music/orvenhal-korrin-system-15.mp3",
         "data/common/images/orvenhal_logo_16_9.png", 0, 500, 138,
         {"ShaderToy", "KorrinSVG", "NukeSL", "KorrinImage", "KorrinBunker", "NukeBalls", "NukeBlast", "NukeText",
          "NukeFallout", "NukeFloor"}},
    };
    EXPECT_EQ(production_table().size(), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProductionRow* table_row = find_production(row.id);
        ASSERT_NE(table_row, nullptr);
        EXPECT_STREQ(table_row->name, row.name);
        EXPECT_EQ(production_id(row.name), row.id);
        EXPECT_EQ(std::vector<std::string>(table_row->scenes.begin(), table_row->scenes.end()), row.scenes);

        reset_to_defaults();
        ZemblaSystem::production = row.id;
        configure_production();
        EXPECT_EQ(ZemblaSystem::title, row.title);
        EXPECT_EQ(ZemblaSystem::music_file, row.music);
        EXPECT_EQ(ZemblaSystem::logo_file, row.logo);
        EXPECT_EQ(ZemblaSystem::loading_screen, row.style);
        EXPECT_EQ(ZemblaSystem::fade_time_ms, row.fade_ms);
        EXPECT_EQ(ZemblaSystem::bpm, row.bpm);
    }
    // What `zembla` plays without a name.
    EXPECT_EQ(kDefaultProduction, 4);
}

TEST_F(Productions, SomeProductionsLeaveSettingsAsTheyWere) {
    // Pelltide takes its tempo from its music description; Quendle has no
    // logo. Both leave what was there before.
    ZemblaSystem::bpm = 99.0f;
    ZemblaSystem::production = production_id("pelltide");
    configure_production();
    EXPECT_EQ(ZemblaSystem::bpm, 99.0f);

    ZemblaSystem::logo_file = "before.png";
    ZemblaSystem::production = production_id("quendle");
    configure_production();
    EXPECT_EQ(ZemblaSystem::logo_file, "before.png");

    // Brisken clears the logo explicitly.
    ZemblaSystem::production = production_id("brisken");
    configure_production();
    EXPECT_EQ(ZemblaSystem::logo_file, "");
}

TEST_F(Productions, AnUnknownIdEndsTheRun) {
    for (int id : {6, -1, 100}) {
        ZemblaSystem::production = id;
        EXPECT_FATAL(configure_production(), "Unknown scene set!");
    }
}

}  // namespace
