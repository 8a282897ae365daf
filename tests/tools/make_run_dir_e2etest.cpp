// The run-directory script on a small source tree of its own: shared asset
// folders linked, one track file for each of the scene manager's own tracks and
// every manifest name, the timeline's keys
// where it has some, and a clear failure for a timeline that keys a track the
// production does not register.
#include <filesystem>
#include <fstream>
#include <string>

#include "scenes.h"
#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/music/synctrack.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

class MakeRunDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"data/common/fonts", "data/music", "data/productions/demo"})
            fs::create_directories(source.file(folder));
        write("data/common/fonts/face.ttf", "font");
        write("data/README.md", "about the data");
        write("data/productions/demo/tracks.txt", "# the manifest\nfadeIn\n\nglow  # scene\n");
    }

    void write(const std::string& file, const std::string& text) { std::ofstream(source.file(file)) << text; }

    // Runs the script (with `packer` when given); its status, with its
    // messages in `said`.
    int make(std::string* said = nullptr, const std::string& packer = "") {
        CommandResult r = run_command(source_path("tools/make_run_dir.sh") + " '" + source.path() + "' '" + run() +
                                          "' demo '" + binary_path("tools/synctimeline") + "' " +
                                          (packer.empty() ? "" : "'" + packer + "' ") + "2>&1",
                                      60);
        if (said) *said = r.output;
        return r.status;
    }

    std::string run() const { return work.file("run/demo"); }

    SyncTrack track(const std::string& name) const {
        SyncTrack t;
        std::string bytes = read_file(run() + "/data/sync_tracker/_" + name + ".track"), error;
        EXPECT_TRUE(SyncTrackFile::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &t, &error))
            << name << ": " << error;
        return t;
    }

    TempDir source, work;
};

TEST_F(MakeRunDirTest, LinksTheAssetsAndGivesEveryListedTrackItsFile) {
    write("data/productions/demo/timeline.txt", "ActiveScene1st 0b 0 step\nActiveScene1st 4b 1 linear\n");
    std::string said;
    ASSERT_EQ(make(&said), 0) << said;

    // Asset folders are links into the source; the productions' own folder
    // and loose files stay out.
    EXPECT_TRUE(fs::is_symlink(run() + "/data/common"));
    EXPECT_EQ(fs::read_symlink(run() + "/data/common"), fs::path(source.file("data/common")));
    EXPECT_EQ(read_file(run() + "/data/common/fonts/face.ttf"), "font");
    EXPECT_TRUE(fs::is_symlink(run() + "/data/music"));
    EXPECT_FALSE(fs::exists(run() + "/data/productions"));
    EXPECT_FALSE(fs::exists(run() + "/data/README.md"));

    // Exactly the scene manager's own tracks and the two listed ones: the
    // keyed one with its keys, the others without keys (4 zero bytes: they
    // read their defaults).
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(run() + "/data/sync_tracker")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, manager_track_names().size() + 2);
    for (const std::string& name : manager_track_names())
        EXPECT_TRUE(fs::exists(run() + "/data/sync_tracker/_" + name + ".track")) << name;
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_glow.track"), std::string(4, '\0'));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_bpm.track"), std::string(4, '\0'));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_fadeIn.track"), std::string(4, '\0'));
    SyncTrack scene = track("ActiveScene1st");
    ASSERT_EQ(scene.keys.size(), 2u);
    EXPECT_EQ(scene.keys[1].row, 32);
    EXPECT_EQ(scene.keys[1].value, 1.0f);

    // A second run starts afresh: nothing of the first is left behind.
    fs::remove(source.file("data/productions/demo/timeline.txt"));
    write("data/productions/demo/tracks.txt", "fadeIn\n");
    ASSERT_EQ(make(&said), 0) << said;
    EXPECT_TRUE(fs::exists(run() + "/data/sync_tracker/_fadeIn.track"));
    EXPECT_FALSE(fs::exists(run() + "/data/sync_tracker/_glow.track"));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_ActiveScene1st.track"), std::string(4, '\0'));
}

TEST_F(MakeRunDirTest, PacksOnlyAPlayableProduction) {
    // A stand-in packer: `--check demo` answers with the given status, a
    // packing run writes data.tlx in the folder it runs in.
    struct Case {
        const char* what;
        int check_status;
        int status;
        bool packed;
    } cases[] = {
        {"playable", 0, 0, true},
        {"not playable yet", 3, 0, false},
        {"a packer that fails its check", 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string packer = work.file("packer.sh");
        std::ofstream(packer) << "#!/bin/sh\n"
                              << "if [ \"$1\" = --check ]; then [ \"$2\" = demo ] && exit " << c.check_status
                              << "; exit 9; fi\n"
                              << "[ \"$1\" = demo ] && echo archive > data.tlx\n";
        fs::permissions(packer, fs::perms::owner_all);
        std::string said;
        EXPECT_EQ(make(&said, packer), c.status) << said;
        EXPECT_EQ(fs::exists(run() + "/data.tlx"), c.packed);
    }
}

TEST_F(MakeRunDirTest, PacksOnAVirtualDisplayOfItsOwnWithoutSound) {
    // The stand-in packer writes the display and the audio driver it got;
    // the script runs as from a user's session on the display ":77".
    const std::string packer = work.file("packer.sh");
    std::ofstream(packer) << "#!/bin/sh\n"
                          << "[ \"$1\" = --check ] && exit 0\n"
                          << "echo \"$DISPLAY|$SDL_AUDIODRIVER|$WAYLAND_DISPLAY\" > data.tlx\n";
    fs::permissions(packer, fs::perms::owner_all);
    CommandResult r = run_command("DISPLAY=:77 WAYLAND_DISPLAY=wayland-0 " + source_path("tools/make_run_dir.sh") +
                                      " '" + source.path() + "' '" + run() + "' demo '" +
                                      binary_path("tools/synctimeline") + "' '" + packer + "' 2>&1",
                                  60);
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string got = read_file(run() + "/data.tlx");
    EXPECT_EQ(got.rfind(":", 0), 0u) << got;  // a display was there
    EXPECT_EQ(got.find(":77|"), std::string::npos) << got;
    EXPECT_NE(got.find("|dummy|\n"), std::string::npos) << got;
}

TEST_F(MakeRunDirTest, RefusesWhatTheProductionWouldNeverRead) {
    struct Case {
        const char* what;
        const char* timeline;  // null: no manifest at all
        const char* message;
    } cases[] = {
        {"a keyed track not in the manifest", "fadeOut 0b 1 step\n",
         "track fadeOut is not in "},
        {"a timeline that does not parse", "fadeIn 0b one step\n", "timeline.txt"},
        {"no manifest", nullptr, "tracks.txt: missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.timeline)
            write("data/productions/demo/timeline.txt", c.timeline);
        else
            fs::remove(source.file("data/productions/demo/tracks.txt"));
        std::string said;
        EXPECT_NE(make(&said), 0);
        EXPECT_NE(said.find(c.message), std::string::npos) << said;
    }
}

}  // namespace
