#include "program.h"

#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/setup_dialog_model.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/data_fixture.h"

namespace {

// Records every step by name, with what the settings were when it ran.
class RecordingSteps : public ProgramSteps {
public:
    void init_platform() override { note("init_platform"); }
    int show_setup_dialog() override {
        note("show_setup_dialog");
        return dialog_result;
    }
    void create_window() override {
        note("create_window");
        fullscreen_at_window = ZemblaSystem::fullscreen;
    }
    unsigned glew_init() override {
        note("glew_init");
        return glew_error;
    }
    std::string glew_error_text(unsigned) override { return "Missing GL version"; }
    void check_extensions() override { note("check_extensions"); }
    void clamp_samples_to_driver() override { note("clamp_samples_to_driver"); }
    void set_data_mode(int mode) override {
        note("set_data_mode");
        data_mode = mode;
    }
    void setup_loading_screen(int width, int height, float a) override {
        note("setup_loading_screen");
        loading_width = width;
        loading_height = height;
        aspect = a;
    }
    void read_archive() override { note("read_archive"); }
    void load_logo() override { note("load_logo"); }
    void create_scene_manager() override {
        note("create_scene_manager");
        sync_client_at_load = ZemblaSystem::sync_client;
    }
    void write_archive() override { note("write_archive"); }
    void start_show() override { note("start_show"); }
    void run_message_loop() override { note("run_message_loop"); }
    void delete_scene_manager() override { note("delete_scene_manager"); }
    void remove_temp_files() override { note("remove_temp_files"); }
    void delete_gl_context() override { note("delete_gl_context"); }

    void note(const std::string& step) {
        steps.push_back(step);
        boxes_before.push_back(test_support::recorded_boxes().size());
    }
    size_t boxes_before_step(const std::string& step) const {
        for (size_t i = 0; i < steps.size(); ++i)
            if (steps[i] == step) return boxes_before[i];
        return static_cast<size_t>(-1);
    }

    int dialog_result = SetupDialogId::Run;
    unsigned glew_error = 0;
    std::vector<std::string> steps;
    std::vector<size_t> boxes_before;
    int fullscreen_at_window = -1;
    int data_mode = -1;
    int loading_width = 0, loading_height = 0;
    float aspect = 0.0f;
    int sync_client_at_load = -1;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::clear_boxes();
        ZemblaSystem::width = 1280;
        ZemblaSystem::height = 720;
        ZemblaSystem::fullscreen = 1;
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        ZemblaSystem::data_mode = DataFileMode::Read;
        std::strcpy(ZemblaSystem::sync_host, "127.0.0.1");
    }
    void TearDown() override { test_support::clear_boxes(); }

    test_support::SettingsGuard guard;
    RecordingSteps steps;
};

TEST_F(ProgramTest, RunGoesThroughEveryStepInOrder) {
    ZemblaSystem::aspect_numerator = 16;
    ZemblaSystem::aspect_denominator = 10;
    EXPECT_EQ(run_program(steps), 0);
    EXPECT_EQ(steps.steps,
              (std::vector<std::string>{"init_platform", "show_setup_dialog", "create_window",
                                        "glew_init", "check_extensions", "clamp_samples_to_driver",
                                        "set_data_mode", "setup_loading_screen", "read_archive",
                                        "load_logo", "create_scene_manager", "write_archive",
                                        "start_show", "run_message_loop", "delete_scene_manager",
                                        "remove_temp_files", "delete_gl_context"}));
    EXPECT_EQ(steps.fullscreen_at_window, 1);
    EXPECT_EQ(steps.data_mode, DataFileMode::Read);
    EXPECT_EQ(steps.loading_width, 1280);
    EXPECT_EQ(steps.loading_height, 720);
    EXPECT_FLOAT_EQ(steps.aspect, 1.6f);
    EXPECT_TRUE(test_support::recorded_boxes().empty());
    EXPECT_EQ(ZemblaSystem::title, "Wembrel - tidewell");  // the production is selected first
}

TEST_F(ProgramTest, OnlyRunAndGetAviOpenAWindow) {
    // Quitting ends the run as a success; a dialog that could not be shown
    // (no display) is a failure.
    struct Case {
        int result;
        int status;
    };
    for (Case c : {Case{SetupDialogId::Quit, 0}, Case{kSetupDialogFailed, 1}, Case{0, 0},
                   Case{SetupDialogId::GetMp3, 0}}) {
        SCOPED_TRACE(c.result);
        RecordingSteps quitting;
        quitting.dialog_result = c.result;
        EXPECT_EQ(run_program(quitting), c.status);
        EXPECT_EQ(quitting.steps, (std::vector<std::string>{"init_platform", "show_setup_dialog"}));
    }
    steps.dialog_result = SetupDialogId::GetAvi;
    ZemblaSystem::get_avi = true;
    EXPECT_EQ(run_program(steps), 0);
    EXPECT_EQ(steps.steps.back(), "delete_gl_context");
}

TEST_F(ProgramTest, FullScreenGivesWayToRecordingAndALocalSyncEditor) {
    struct Case {
        const char* name;
        bool get_avi;
        int sync_client;
        const char* host;
        int fullscreen;
    };
    char own_name[256] = {};
    ASSERT_EQ(gethostname(own_name, sizeof own_name - 1), 0);
    const std::string own_name_dotted = std::string(own_name) + ".";
    const Case cases[] = {
        {"plain run", false, 0, "", 1},
        {"recording", true, 0, "10.1.2.3", 0},
        {"sync client, empty host", false, 1, "", 0},
        {"sync client, loopback", false, 1, "127.0.0.1", 0},
        {"sync client, local name", false, 1, "localhost", 0},
        {"sync client, other machine", false, 1, "10.1.2.3", 1},
        {"sync client, name with a blank", false, 1, "localhost ", 1},
        {"sync client, this machine's name", false, 1, own_name, 0},
        {"sync client, this machine's name and more", false, 1, own_name_dotted.c_str(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZemblaSystem::fullscreen = 1;
        ZemblaSystem::get_avi = c.get_avi;
        ZemblaSystem::sync_client = c.sync_client;
        std::strcpy(ZemblaSystem::sync_host, c.host);
        RecordingSteps run;
        run_program(run);
        EXPECT_EQ(run.fullscreen_at_window, c.fullscreen);
    }
}

TEST_F(ProgramTest, SyncClientInArchiveWriteModeIsWarnedAboutAndSwitchedOff) {
    ZemblaSystem::sync_client = 1;
    ZemblaSystem::data_mode = DataFileMode::Write;
    std::strcpy(ZemblaSystem::sync_host, "10.1.2.3");
    EXPECT_EQ(run_program(steps), 0);
    ASSERT_EQ(test_support::recorded_boxes().size(), 1u);
    const auto& box = test_support::recorded_boxes()[0];
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.text, "Can't act as Sync Client in data file write mode!");
    EXPECT_EQ(box.kind, platform::MessageBoxKind::Plain);  // only an OK button, no icon
    // After the window and its checks, before the data layer and loading.
    EXPECT_EQ(steps.boxes_before_step("clamp_samples_to_driver"), 0u);
    EXPECT_EQ(steps.boxes_before_step("set_data_mode"), 1u);
    EXPECT_EQ(steps.sync_client_at_load, 0);
    EXPECT_EQ(steps.data_mode, DataFileMode::Write);

    // Either alone gives no box.
    for (int mode : {DataFileMode::Read, DataFileMode::Plain}) {
        test_support::clear_boxes();
        ZemblaSystem::sync_client = 1;
        ZemblaSystem::data_mode = mode;
        RecordingSteps run;
        run_program(run);
        EXPECT_TRUE(test_support::recorded_boxes().empty());
        EXPECT_EQ(run.sync_client_at_load, 1);
    }
}

TEST_F(ProgramTest, GlewFailureIsFatalWithItsText) {
    steps.glew_error = 1;
    EXPECT_FATAL(run_program(steps), "GLEW Error: Missing GL version");
    EXPECT_EQ(steps.steps.back(), "glew_init");
}

// Get mp3 writes the archive's MP3 files; without one it says why in the
// console, and a music description is named by the stream it plays.
TEST(SoundtrackExportNoteTest, SaysWhatTheSoundtrackIsWhenNothingWasExported) {
    const std::string description =
        "<modulators stream_filename=\"song.ogg\" notedata_filename=\"song.mid\">\n</modulators>\n";
    const struct {
        const char* what;
        const char* music_file;
        std::vector<std::pair<std::string, std::string>> archive;  // name, bytes
        std::string says;
    } cases[] = {
        {"an MP3 soundtrack", "data/music/song.mp3", {{"data/music/song.mp3", "ID3"}}, ""},
        {"no soundtrack", "", {}, "Get mp3: Show has no soundtrack; nothing was exported\n"},
        {"a description of an OGG stream", "data/music/song.xml",
         {{"data/music/song.xml", description}, {"data/music/song.ogg", "OggS"}},
         "Get mp3: the soundtrack of Show, data/music/song.xml, plays the OGG stream data/music/song.ogg, "
         "not an MP3 file; nothing was exported\n"},
        {"a description beside the program", "song.xml", {{"song.xml", description}},
         "Get mp3: the soundtrack of Show, song.xml, plays the OGG stream song.ogg, not an MP3 file; nothing was "
         "exported\n"},
        {"a description the archive lacks", "data/music/song.xml", {{"data/music/song.ogg", "OggS"}},
         "Get mp3: the soundtrack of Show, data/music/song.xml, is not an MP3 file; nothing was exported\n"},
        {"a description without a stream", "data/music/song.xml", {{"data/music/song.xml", "<modulators/>"}},
         "Get mp3: the soundtrack of Show, data/music/song.xml, is not an MP3 file; nothing was exported\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        for (const auto& [name, bytes] : c.archive) data_test::add_entry(name, bytes);
        EXPECT_EQ(soundtrack_export_note("Show", c.music_file), c.says);
    }
    DataFile::reset();
}

}  // namespace
