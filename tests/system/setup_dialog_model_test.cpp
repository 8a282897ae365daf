#include "system/setup_dialog_model.h"

#include <cstring>
#include <functional>

#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/zemblasystem.h"

namespace {

class SetupDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZemblaSystem::width = -1;
        ZemblaSystem::height = -1;
        ZemblaSystem::samples = 4;
        ZemblaSystem::aspect_numerator = 16;
        ZemblaSystem::aspect_denominator = 9;
        ZemblaSystem::fullscreen = 1;
        ZemblaSystem::vsync = 1;
        ZemblaSystem::get_avi = false;
    }

    SetupDialogModel make_model(std::vector<DisplayMode> modes = {{640, 480}, {1280, 720}}) {
        return SetupDialogModel(std::move(modes), [this] { ++exports; });
    }

    test_support::SettingsGuard guard;
    int exports = 0;
};

TEST_F(SetupDialogModelTest, ResolutionListDropsRepeatsAndPicksTheDefault) {
    const std::vector<DisplayMode> modes = {
        {640, 480}, {640, 480}, {800, 600}, {1280, 720}, {800, 600}, {1280, 720}};
    struct Case {
        int width, height;
        int selection;
        int width_after, height_after;
    } cases[] = {
        {-1, -1, 2, 1280, 720},    // compiled default: the last listed mode
        {-1, 600, 2, 1280, 720},   // either side unset is enough
        {800, 600, 1, 800, 600},   // the listed mode the settings name
        {1024, 768, 0, 640, 480},  // not listed: the first
        {640, 720, 0, 640, 480},   // only a full match counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        ZemblaSystem::width = c.width;
        ZemblaSystem::height = c.height;
        SetupDialogModel model = make_model(modes);
        model.init();
        EXPECT_EQ(model.resolutions(), (std::vector<std::string>{"640x480", "800x600", "1280x720"}));
        EXPECT_EQ(model.resolution_selection(), c.selection);
        EXPECT_EQ(ZemblaSystem::width, c.width_after);
        EXPECT_EQ(ZemblaSystem::height, c.height_after);
    }
}

TEST_F(SetupDialogModelTest, NoDisplayModeIsFatal) {
    SetupDialogModel model = make_model({});
    EXPECT_FATAL(model.init(), "Failed assert resolutions.size() > 0");
}

TEST_F(SetupDialogModelTest, AntiAliasingFollowsTheSampleCount) {
    struct Case {
        int samples;
        const char* shown;
        int samples_after;
    } cases[] = {{1, "None", 1}, {2, "2x", 2}, {4, "4x", 4}, {8, "8x", 8},
                 {16, "16x", 16}, {3, "4x", 4}, {0, "4x", 4}, {32, "4x", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.samples);
        ZemblaSystem::samples = c.samples;
        SetupDialogModel model = make_model();
        model.init();
        EXPECT_EQ(model.anti_aliasing_options()[model.anti_aliasing_selection()], c.shown);
        EXPECT_EQ(ZemblaSystem::samples, c.samples_after);
    }
}

TEST_F(SetupDialogModelTest, AspectRatioFollowsTheSettings) {
    struct Case {
        int numerator, denominator;
        const char* shown;
        int numerator_after, denominator_after;
    } cases[] = {{4, 3, "4:3", 4, 3},     {16, 9, "16:9", 16, 9}, {16, 10, "16:10", 16, 10},
                 {5, 4, "16:9", 16, 9},   {8, 5, "16:9", 16, 9},  {3, 4, "16:9", 16, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.numerator) + ":" + std::to_string(c.denominator));
        ZemblaSystem::aspect_numerator = c.numerator;
        ZemblaSystem::aspect_denominator = c.denominator;
        SetupDialogModel model = make_model();
        model.init();
        EXPECT_EQ(model.aspect_ratio_options()[model.aspect_ratio_selection()], c.shown);
        EXPECT_EQ(ZemblaSystem::aspect_numerator, c.numerator_after);
        EXPECT_EQ(ZemblaSystem::aspect_denominator, c.denominator_after);
    }
}

TEST_F(SetupDialogModelTest, SettingsHoldWhatIsShownAfterInit) {
    SetupDialogModel model = make_model();
    model.init();
    EXPECT_EQ(model.resolutions()[model.resolution_selection()], "1280x720");
    EXPECT_EQ(ZemblaSystem::width, 1280);
    EXPECT_EQ(ZemblaSystem::height, 720);
    EXPECT_EQ(ZemblaSystem::samples, 4);
    EXPECT_TRUE(model.fullscreen_checked());
    EXPECT_TRUE(model.vsync_checked());
    EXPECT_EQ(ZemblaSystem::fullscreen, 1);
    EXPECT_EQ(ZemblaSystem::vsync, 1);

    ZemblaSystem::fullscreen = 0;
    ZemblaSystem::vsync = 5;  // any non-zero value shows as checked
    SetupDialogModel other = make_model();
    other.init();
    EXPECT_FALSE(other.fullscreen_checked());
    EXPECT_TRUE(other.vsync_checked());
    EXPECT_EQ(ZemblaSystem::fullscreen, 0);
    EXPECT_EQ(ZemblaSystem::vsync, 1);
    EXPECT_FALSE(other.ended());
}

TEST_F(SetupDialogModelTest, SyncClientSettingsHaveNoControlAndStayAsTheyAre) {
    ZemblaSystem::sync_client = 1;
    std::strcpy(ZemblaSystem::sync_host, "");
    SetupDialogModel model = make_model();
    model.init();
    model.command(SetupDialogId::Run);
    EXPECT_EQ(ZemblaSystem::sync_client, 1);
    EXPECT_STREQ(ZemblaSystem::sync_host, "");
}

TEST_F(SetupDialogModelTest, ChoicesWriteTheSettingsAtOnce) {
    SetupDialogModel model = make_model();
    model.init();
    model.select_resolution(0);
    model.select_anti_aliasing(0);
    model.select_aspect_ratio(2);
    EXPECT_EQ(ZemblaSystem::width, 640);
    EXPECT_EQ(ZemblaSystem::height, 480);
    EXPECT_EQ(ZemblaSystem::samples, 1);
    EXPECT_EQ(ZemblaSystem::aspect_numerator, 16);
    EXPECT_EQ(ZemblaSystem::aspect_denominator, 10);
    model.select_anti_aliasing(4);
    EXPECT_EQ(ZemblaSystem::samples, 16);
    // Out of range picks nothing.
    model.select_resolution(7);
    model.select_aspect_ratio(-1);
    EXPECT_EQ(ZemblaSystem::width, 640);
    EXPECT_EQ(model.aspect_ratio_selection(), 2);
}

TEST_F(SetupDialogModelTest, TextsThatNameNoSettingAreFatal) {
    EXPECT_FATAL(SetupDialogModel::apply_anti_aliasing_text("many"),
                 "Failed assert 1 == sscanf( buffer, \"%ix\", &ZemblaSystem::samples )");
    EXPECT_FATAL(SetupDialogModel::apply_aspect_ratio_text("5:4"),
                 "Unrecognized aspect ratio option 5:4!");
    SetupDialogModel::apply_resolution_text("1920x1080");
    EXPECT_EQ(ZemblaSystem::width, 1920);
    EXPECT_EQ(ZemblaSystem::height, 1080);
}

TEST_F(SetupDialogModelTest, ButtonsEndTheDialogOrActInPlace) {
    struct Case {
        int id;
        bool ends;
        int result;
        bool get_avi;
        int exports;
    } cases[] = {
        {SetupDialogId::Run, true, 1, false, 0},
        {SetupDialogId::Quit, true, 2, false, 0},
        {SetupDialogId::GetAvi, true, 106, true, 0},
        {SetupDialogId::GetMp3, false, 0, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ZemblaSystem::get_avi = false;
        exports = 0;
        SetupDialogModel model = make_model();
        model.init();
        EXPECT_EQ(model.command(c.id), c.ends);
        EXPECT_EQ(model.ended(), c.ends);
        if (c.ends) {
            EXPECT_EQ(model.result(), c.result);
        }
        EXPECT_EQ(ZemblaSystem::get_avi, c.get_avi);
        EXPECT_EQ(exports, c.exports);
    }
}

TEST_F(SetupDialogModelTest, GetMp3LeavesTheDialogUsable) {
    SetupDialogModel model = make_model();
    model.init();
    model.command(SetupDialogId::GetMp3);
    model.command(SetupDialogId::GetMp3);
    EXPECT_EQ(exports, 2);
    EXPECT_TRUE(model.command(SetupDialogId::Run));
    EXPECT_EQ(model.result(), 1);
}

TEST_F(SetupDialogModelTest, AfterGetMp3EnterRunsTheShowInsteadOfExportingAgain) {
    // However Get mp3 was pressed: its mnemonic, Space on it, the mouse.
    const std::function<void(SetupDialogModel&)> presses[] = {
        [](SetupDialogModel& m) { m.key(DialogKey::Letter, true, 'm'); },
        [](SetupDialogModel& m) {
            m.set_focus(SetupDialogId::GetMp3);
            m.key(DialogKey::Space, false);
        },
        [](SetupDialogModel& m) {
            m.set_focus(SetupDialogId::GetMp3);
            m.command(SetupDialogId::GetMp3);
        },
    };
    for (const auto& press : presses) {
        exports = 0;
        SetupDialogModel model = make_model();
        model.init();
        press(model);
        EXPECT_EQ(exports, 1);
        EXPECT_FALSE(model.ended());
        EXPECT_EQ(model.focused(), SetupDialogId::Run);
        EXPECT_TRUE(model.key(DialogKey::Enter, false));
        EXPECT_EQ(model.result(), SetupDialogId::Run);
        EXPECT_EQ(exports, 1);
    }
}

TEST_F(SetupDialogModelTest, CheckBoxesToggleTheirSettings) {
    SetupDialogModel model = make_model();
    model.init();
    model.command(SetupDialogId::Fullscreen);
    model.command(SetupDialogId::Vsync);
    EXPECT_EQ(ZemblaSystem::fullscreen, 0);
    EXPECT_EQ(ZemblaSystem::vsync, 0);
    EXPECT_FALSE(model.fullscreen_checked());
    model.command(SetupDialogId::Fullscreen);
    EXPECT_EQ(ZemblaSystem::fullscreen, 1);
    EXPECT_FALSE(model.ended());
}

TEST_F(SetupDialogModelTest, KeyboardRunsQuitsAndPressesMnemonics) {
    struct Case {
        const char* name;
        DialogKey key;
        bool alt;
        char letter;
        bool ends;
        int result;
    } cases[] = {
        {"Enter", DialogKey::Enter, false, 0, true, 1},
        {"Escape", DialogKey::Escape, false, 0, true, 2},
        {"Alt+R", DialogKey::Letter, true, 'r', true, 1},
        {"Alt+A", DialogKey::Letter, true, 'a', true, 106},
        {"Alt+Q", DialogKey::Letter, true, 'q', true, 2},
        {"Alt+M", DialogKey::Letter, true, 'm', false, 0},
        {"Alt+F", DialogKey::Letter, true, 'f', false, 0},
        {"Alt+X", DialogKey::Letter, true, 'x', false, 0},
        {"R alone", DialogKey::Letter, false, 'r', false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetupDialogModel model = make_model();
        model.init();
        EXPECT_EQ(model.key(c.key, c.alt, c.letter), c.ends);
        if (c.ends) {
            EXPECT_EQ(model.result(), c.result);
        }
    }

    exports = 0;
    SetupDialogModel model = make_model();
    model.init();
    model.key(DialogKey::Letter, true, 'v');
    EXPECT_EQ(ZemblaSystem::vsync, 0);
    model.key(DialogKey::Letter, true, 'm');
    EXPECT_EQ(exports, 1);
    EXPECT_TRUE(model.close());
    EXPECT_EQ(model.result(), 2);
}

TEST_F(SetupDialogModelTest, TabAndShiftTabMoveTheFocusRound) {
    EXPECT_EQ(setup_dialog_tab_order(),
              (std::vector<int>{SetupDialogId::Resolution, SetupDialogId::AntiAliasing, SetupDialogId::AspectRatio,
                                SetupDialogId::Run, SetupDialogId::GetAvi, SetupDialogId::Fullscreen,
                                SetupDialogId::Quit, SetupDialogId::GetMp3, SetupDialogId::Vsync}));
    SetupDialogModel model = make_model();
    model.init();
    EXPECT_EQ(model.focused(), SetupDialogId::Resolution);
    for (int id : setup_dialog_tab_order()) {
        EXPECT_EQ(model.focused(), id);
        EXPECT_FALSE(model.key(DialogKey::Tab, false));
    }
    EXPECT_EQ(model.focused(), SetupDialogId::Resolution);  // round again
    model.key(DialogKey::BackTab, false);
    EXPECT_EQ(model.focused(), SetupDialogId::Vsync);
    model.key(DialogKey::BackTab, false);
    EXPECT_EQ(model.focused(), SetupDialogId::GetMp3);
    // The mouse moves it too; a label or an unknown id does not take it.
    model.set_focus(SetupDialogId::AspectRatio);
    EXPECT_EQ(model.focused(), SetupDialogId::AspectRatio);
    model.set_focus(0);
    model.set_focus(107);
    EXPECT_EQ(model.focused(), SetupDialogId::AspectRatio);
    // Moving the focus changes no setting.
    EXPECT_EQ(ZemblaSystem::fullscreen, 1);
    EXPECT_EQ(ZemblaSystem::samples, 4);
}

TEST_F(SetupDialogModelTest, SpaceAndEnterActOnTheFocusedControl) {
    struct Case {
        const char* name;
        int focus;
        DialogKey key;
        bool ends;
        int result;
        int fullscreen, vsync, exports;
    } cases[] = {
        {"Space on Run", SetupDialogId::Run, DialogKey::Space, true, 1, 1, 1, 0},
        {"Space on Get avi", SetupDialogId::GetAvi, DialogKey::Space, true, 106, 1, 1, 0},
        {"Space on Quit", SetupDialogId::Quit, DialogKey::Space, true, 2, 1, 1, 0},
        {"Space on Get mp3", SetupDialogId::GetMp3, DialogKey::Space, false, 0, 1, 1, 1},
        {"Space on Fullscreen", SetupDialogId::Fullscreen, DialogKey::Space, false, 0, 0, 1, 0},
        {"Space on Vsync", SetupDialogId::Vsync, DialogKey::Space, false, 0, 1, 0, 0},
        {"Space on a list", SetupDialogId::AntiAliasing, DialogKey::Space, false, 0, 1, 1, 0},
        {"Enter on Quit", SetupDialogId::Quit, DialogKey::Enter, true, 2, 1, 1, 0},
        {"Enter on Get avi", SetupDialogId::GetAvi, DialogKey::Enter, true, 106, 1, 1, 0},
        {"Enter on a box runs", SetupDialogId::Fullscreen, DialogKey::Enter, true, 1, 1, 1, 0},
        {"Enter on a list runs", SetupDialogId::AspectRatio, DialogKey::Enter, true, 1, 1, 1, 0},
        {"Escape on Run quits", SetupDialogId::Run, DialogKey::Escape, true, 2, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZemblaSystem::fullscreen = 1;
        ZemblaSystem::vsync = 1;
        ZemblaSystem::get_avi = false;
        exports = 0;
        SetupDialogModel model = make_model();
        model.init();
        model.set_focus(c.focus);
        EXPECT_EQ(model.key(c.key, false), c.ends);
        if (c.ends) {
            EXPECT_EQ(model.result(), c.result);
        }
        EXPECT_EQ(ZemblaSystem::fullscreen, c.fullscreen);
        EXPECT_EQ(ZemblaSystem::vsync, c.vsync);
        EXPECT_EQ(exports, c.exports);
    }
    // A box toggles back with a second Space.
    SetupDialogModel model = make_model();
    model.init();
    model.set_focus(SetupDialogId::Fullscreen);
    model.key(DialogKey::Space, false);
    model.key(DialogKey::Space, false);
    EXPECT_TRUE(model.fullscreen_checked());
    EXPECT_EQ(ZemblaSystem::fullscreen, 1);
}

TEST_F(SetupDialogModelTest, ArrowKeysChangeTheFocusedListsChoice) {
    SetupDialogModel model = make_model({{640, 480}, {800, 600}, {1280, 720}});
    model.init();
    // The resolution list has the focus and shows the last mode.
    model.key(DialogKey::Up, false);
    EXPECT_EQ(model.resolution_selection(), 1);
    EXPECT_EQ(ZemblaSystem::width, 800);
    model.key(DialogKey::Left, false);
    model.key(DialogKey::Up, false);  // stops at the first
    EXPECT_EQ(model.resolution_selection(), 0);
    EXPECT_EQ(ZemblaSystem::height, 480);
    model.key(DialogKey::Right, false);
    EXPECT_EQ(ZemblaSystem::width, 800);

    model.key(DialogKey::Tab, false);  // anti-aliasing, "4x"
    model.key(DialogKey::Down, false);
    EXPECT_EQ(ZemblaSystem::samples, 8);
    model.key(DialogKey::Down, false);
    model.key(DialogKey::Down, false);  // stops at the last
    EXPECT_EQ(model.anti_aliasing_selection(), 4);
    EXPECT_EQ(ZemblaSystem::samples, 16);
    EXPECT_EQ(ZemblaSystem::width, 800);  // the other lists keep theirs

    model.key(DialogKey::Tab, false);  // aspect ratio, "16:9"
    model.key(DialogKey::Up, false);
    EXPECT_EQ(ZemblaSystem::aspect_numerator, 4);
    EXPECT_EQ(ZemblaSystem::aspect_denominator, 3);

    // On a button or a box the arrows change nothing.
    model.key(DialogKey::Tab, false);
    model.key(DialogKey::Down, false);
    model.set_focus(SetupDialogId::Fullscreen);
    model.key(DialogKey::Up, false);
    EXPECT_EQ(model.aspect_ratio_selection(), 0);
    EXPECT_EQ(model.anti_aliasing_selection(), 4);
    EXPECT_EQ(ZemblaSystem::fullscreen, 1);
    EXPECT_FALSE(model.ended());
}

TEST(SetupDialogText, MnemonicMarks) {
    struct Case {
        const char* text;
        const char* shown;
        int index;
    } cases[] = {{"&Run", "Run", 0},        {"Get &avi", "Get avi", 4},
                 {"Choose resolution", "Choose resolution", -1},
                 {"a&&b", "a&b", -1},        {"end&", "end&", -1}};
    for (const Case& c : cases) {
        MnemonicText split = split_mnemonic(c.text);
        EXPECT_EQ(split.text, c.shown) << c.text;
        EXPECT_EQ(split.index, c.index) << c.text;
    }
}

}  // namespace
