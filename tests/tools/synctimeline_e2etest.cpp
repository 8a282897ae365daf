// The timeline tool as productions use it: text -> track files -> text.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "scenes.h"
#include "scenes/production_scenes.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "tools/tool_run.h"
#include "util/music/synctimeline.h"

namespace {

using tool_run::ToolRun;

ToolRun run_tool(const std::string& args) { return tool_run::run_tool("synctimeline", args, "2>/dev/null"); }

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SyncTimelineTool, CompilesAndDumpsBack) {
    test_support::TempDir dir;
    const std::string timeline =
        "bpm 0b 120 step\n"
        "bpm 64 140 linear\n"
        "cameraFoV\n"
        "fade 2.5b 0.333333343 smooth\n"
        "fade -3 -1e-3 ramp\n";
    write_file(dir.file("show.txt"), timeline);
    ASSERT_EQ(run_tool("compile " + dir.file("show.txt") + " " + dir.file("out/sync_tracker")).status, 0);

    EXPECT_EQ(read_file(dir.file("out/sync_tracker/_bpm.track")),
              std::string("\x02\0\0\0"
                          "\0\0\0\0\0\0\xF0\x42\0"
                          "\x40\0\0\0\0\0\x0C\x43\x01",
                          22));
    EXPECT_EQ(read_file(dir.file("out/sync_tracker/_cameraFoV.track")), std::string(4, '\0'));

    ToolRun dump = run_tool("dump " + dir.file("out/sync_tracker"));
    ASSERT_EQ(dump.status, 0);
    std::vector<SyncTrack> original, back;
    std::string error;
    ASSERT_TRUE(SyncTimeline::parse(timeline, &original, &error));
    ASSERT_TRUE(SyncTimeline::parse(dump.out, &back, &error)) << error;
    ASSERT_EQ(back.size(), 3u);
    for (const SyncTrack& t : original) {
        auto same = std::find_if(back.begin(), back.end(), [&](const SyncTrack& b) { return b.name == t.name; });
        ASSERT_NE(same, back.end()) << t.name;
        EXPECT_EQ(SyncTrackFile::encode(same->keys), SyncTrackFile::encode(t.keys)) << t.name;
    }

    // The dump of one file compiles to the same bytes.
    write_file(dir.file("bpm.txt"), run_tool("dump " + dir.file("out/sync_tracker/_bpm.track")).out);
    ASSERT_EQ(run_tool("compile " + dir.file("bpm.txt") + " " + dir.file("again")).status, 0);
    EXPECT_EQ(read_file(dir.file("again/_bpm.track")), read_file(dir.file("out/sync_tracker/_bpm.track")));
}

TEST(SyncTimelineTool, FailsWithoutWriting) {
    test_support::TempDir dir;
    write_file(dir.file("bad.txt"), "a 0 1 step\na 0 2 step\n");
    EXPECT_EQ(run_tool("compile " + dir.file("bad.txt") + " " + dir.file("out")).status, 1);
    EXPECT_FALSE(std::ifstream(dir.file("out/_a.track")).good());

    write_file(dir.file("_short.track"), std::string("\x02\0\0\0\0", 5));
    EXPECT_EQ(run_tool("dump " + dir.file("_short.track")).status, 1);
    EXPECT_EQ(run_tool("dump " + dir.file("missing/_x.track")).status, 1);
    EXPECT_EQ(run_tool("").status, 2);
}

TEST(SyncTimelineTool, ListsEveryTrackOfAProductionAsATimelineWithoutKeys) {
    for (const ProductionRow& row : production_table()) {
        SCOPED_TRACE(row.name);
        const ToolRun listed = run_tool(std::string("tracks ") + row.name);
        ASSERT_EQ(listed.status, 0);
        std::vector<SyncTrack> tracks;
        std::string error;
        ASSERT_TRUE(SyncTimeline::parse(listed.out, &tracks, &error)) << error;
        std::vector<std::string> names;
        for (const SyncTrack& track : tracks) {
            names.push_back(track.name);
            EXPECT_TRUE(track.keys.empty()) << track.name;
        }
        EXPECT_EQ(names, production_track_names(*production_scene_list(row.id)));
    }
    const ToolRun unknown = tool_run::run_tool("synctimeline", "tracks nonesuch", "2>&1");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "synctimeline: no production named nonesuch\n");
}

}  // namespace
