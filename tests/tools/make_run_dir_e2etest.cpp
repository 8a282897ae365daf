// The run-directory script on a small source tree of its own: shared asset
// folders linked, one track file for each track the production registers
// (the scene manager's own and its scenes', as `synctimeline tracks` lists
// them), the timeline's keys where it has some, and a clear failure for a
// timeline that keys a track the production does not register.
#include <filesystem>
#include <fstream>
#include <string>

#include "scenes.h"
#include "scenes/production_scenes.h"
#include "support/e2e_display.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "util/music/synctrack.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

// A production of the table, with its scenes' tracks.
const char* const kProduction = "tidewell";

class MakeRunDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"data/common/fonts", "data/music", "data/productions/tidewell"})
            fs::create_directories(source.file(folder));
        write("data/common/fonts/face.ttf", "font");
        write("data/README.md", "about the data");
    }

    static std::vector<std::string> registered() {
        return production_track_names(*production_scene_list(production_id(kProduction)));
    }

    void write(const std::string& file, const std::string& text) { std::ofstream(source.file(file)) << text; }

    // Runs the script (with `packer` when given); its status, with its
    // messages in `said`.
    int make(std::string* said = nullptr, const std::string& packer = "", const std::string& name = kProduction) {
        CommandResult r = run_command(source_path("tools/make_run_dir.sh") + " '" + source.path() + "' '" + run() +
                                          "' " + name + " '" + binary_path("tools/synctimeline") + "' " +
                                          (packer.empty() ? "" : "'" + packer + "' ") + "2>&1",
                                      60);
        if (said) *said = r.output;
        return r.status;
    }

    std::string run() const { return work.file("run/tidewell"); }

    SyncTrack track(const std::string& name) const {
        SyncTrack t;
        std::string bytes = read_file(run() + "/data/sync_tracker/_" + name + ".track"), error;
        EXPECT_TRUE(SyncTrackFile::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &t, &error))
            << name << ": " << error;
        return t;
    }

    TempDir source, work;
};

TEST_F(MakeRunDirTest, LinksTheAssetsAndGivesEveryRegisteredTrackItsFile) {
    write("data/productions/tidewell/timeline.txt",
          "ActiveScene1st 0b 0 step\nActiveScene1st 4b 1 linear\njqbxWidthCount 2b 3 step\n");
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

    // Exactly the registered tracks: the keyed ones with their keys, the
    // others without keys (4 zero bytes: they read their defaults).
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(run() + "/data/sync_tracker")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, registered().size());
    for (const std::string& name : registered())
        EXPECT_TRUE(fs::exists(run() + "/data/sync_tracker/_" + name + ".track")) << name;
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_bpm.track"), std::string(4, '\0'));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_jqgsRot.track"), std::string(4, '\0'));
    SyncTrack scene = track("ActiveScene1st");
    ASSERT_EQ(scene.keys.size(), 2u);
    EXPECT_EQ(scene.keys[1].row, 32);
    EXPECT_EQ(scene.keys[1].value, 1.0f);
    SyncTrack width = track("jqbxWidthCount");
    ASSERT_EQ(width.keys.size(), 1u);
    EXPECT_EQ(width.keys[0].row, 16);
    EXPECT_EQ(width.keys[0].value, 3.0f);

    // A second run starts afresh: nothing of the first is left behind.
    std::ofstream(run() + "/data/sync_tracker/_stray.track") << "";
    fs::remove(source.file("data/productions/tidewell/timeline.txt"));
    ASSERT_EQ(make(&said), 0) << said;
    EXPECT_FALSE(fs::exists(run() + "/data/sync_tracker/_stray.track"));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_ActiveScene1st.track"), std::string(4, '\0'));
    EXPECT_EQ(read_file(run() + "/data/sync_tracker/_jqbxWidthCount.track"), std::string(4, '\0'));
}

TEST_F(MakeRunDirTest, PacksOnlyAPlayableProduction) {
    // A stand-in packer: `--check tidewell` answers with the given status, a
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
                              << "if [ \"$1\" = --check ]; then [ \"$2\" = tidewell ] && exit " << c.check_status
                              << "; exit 9; fi\n"
                              << "[ \"$1\" = tidewell ] && echo archive > data.tlx\n";
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
                                      " '" + source.path() + "' '" + run() + "' tidewell '" +
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
        const char* name;
        const char* timeline;
        const char* message;
    } cases[] = {
        {"a keyed track nothing registers", "tidewell", "fadeOut 0b 1 step\n",
         "timeline.txt: track fadeOut is registered neither by the scenes of tidewell nor by the scene manager"},
        {"a keyed track of another production's scene", "tidewell", "NukImgSiz 0b 1 step\n",
         "track NukImgSiz is registered neither"},
        {"a timeline that does not parse", "tidewell", "jqgsRot 0b one step\n", "timeline.txt"},
        {"a production the table lacks", "nonesuch", nullptr, "no production named nonesuch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.timeline) write("data/productions/tidewell/timeline.txt", c.timeline);
        std::string said;
        EXPECT_NE(make(&said, "", c.name), 0);
        EXPECT_NE(said.find(c.message), std::string::npos) << said;
    }
}

}  // namespace
