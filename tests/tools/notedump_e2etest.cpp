// The note tool on a small description: tracks, keys, modulators and the
// intensities over the beats asked for; a broken description ends it with
// the program's own message.
#include <filesystem>
#include <fstream>

#include "platform/audio/sound_fixtures.h"
#include "support/test_support.h"
#include "tools/tool_run.h"
#include "util/music/note_fixtures.h"

namespace {

using namespace note_fixtures;

using tool_run::ToolRun;

ToolRun run_tool(const std::string& args) { return tool_run::run_tool("notedump", args, "2>&1"); }

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void write_text(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(NoteDumpTool, PrintsTracksKeysAndIntensities) {
    test_support::TempDir dir;
    test_support::ScopedChdir chdir(dir.path());
    std::filesystem::create_directories("data/music");
    write_file("data/music/song.ogg", sound_fixtures::ogg_tone(8000, 2, 1.0));
    write_file("data/music/song.mid", bass_midi());
    write_text("data/music/song.xml",
               "<modulators stream_filename=\"song.ogg\" notedata_filename=\"song.mid\"><m association=\"Bass\">"
               "<envelope><attack unit=\"s\" slope=\"linear\">0.5</attack><decay unit=\"s\" slope=\"linear\">0.5</decay>"
               "<sustain unit=\"percent\">50</sustain><release unit=\"s\" slope=\"linear\">1</release></envelope>"
               "</m></modulators>");

    ToolRun run = run_tool("data/music/song.xml 0 2 0.5");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "data/music/song.xml: 1 tracks at 120.00 bpm\n"
              "track 0 \"Bass\": 1 keys, 2 note events\n"
              "  modulators: ADSR\n"
              "      beat   C5/60\n"
              "     0.000   0.000\n"
              "     0.500   0.000\n"
              "     1.000   0.500\n"
              "     1.500   1.000\n"
              "     2.000   0.750\n");

    write_text("data/music/broken.xml", "<modulators stream_filename=\"song.ogg\" notedata_filename=\"song.midi\"/>");
    run = run_tool("data/music/broken.xml");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("notedump: Music format midi not supported\n"), std::string::npos) << run.out;

    EXPECT_EQ(run_tool("data/music/song.xml 0 2").status, 2);
    EXPECT_EQ(run_tool("data/music/song.xml 0 2 0").status, 2);
}

}  // namespace
