#include "system/setup_dialog_model.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "system/fatal.h"
#include "system/zemblasystem.h"

namespace {

const std::vector<std::string> kAntiAliasingOptions = {"None", "2x", "4x", "8x", "16x"};
const std::vector<std::string> kAspectRatioOptions = {"4:3", "16:9", "16:10"};

int anti_aliasing_index(int samples) {
    switch (samples) {
        case 1: return 0;
        case 2: return 1;
        case 4: return 2;
        case 8: return 3;
        case 16: return 4;
        default: return 2;  // "4x"
    }
}

int aspect_ratio_index(int numerator, int denominator) {
    if (numerator == 4 && denominator == 3) return 0;
    if (numerator == 16 && denominator == 10) return 2;
    return 1;  // "16:9", also for anything unknown
}

}  // namespace

SetupDialogModel::SetupDialogModel(std::vector<DisplayMode> modes,
                                   std::function<void()> export_soundtrack)
    : modes_(std::move(modes)), export_soundtrack_(std::move(export_soundtrack)) {}

const std::vector<std::string>& SetupDialogModel::anti_aliasing_options() const {
    return kAntiAliasingOptions;
}

const std::vector<std::string>& SetupDialogModel::aspect_ratio_options() const {
    return kAspectRatioOptions;
}

void SetupDialogModel::init() {
    std::vector<DisplayMode> resolutions;
    resolution_texts_.clear();
    int match = -1;
    for (const DisplayMode& mode : modes_) {
        bool listed = false;
        for (const DisplayMode& seen : resolutions)
            if (seen.width == mode.width && seen.height == mode.height) listed = true;
        if (listed) continue;
        resolutions.push_back(mode);
        char text[32];
        std::snprintf(text, sizeof text, "%ux%u", static_cast<unsigned>(mode.width),
                      static_cast<unsigned>(mode.height));
        resolution_texts_.push_back(text);
        if (mode.width == ZemblaSystem::width && mode.height == ZemblaSystem::height)
            match = static_cast<int>(resolutions.size()) - 1;
    }
    FATAL_ASSERT(resolutions.size() > 0);

    if (ZemblaSystem::width == -1 || ZemblaSystem::height == -1)
        resolution_selection_ = static_cast<int>(resolutions.size()) - 1;
    else
        resolution_selection_ = match >= 0 ? match : 0;
    anti_aliasing_selection_ = anti_aliasing_index(ZemblaSystem::samples);
    aspect_ratio_selection_ =
        aspect_ratio_index(ZemblaSystem::aspect_numerator, ZemblaSystem::aspect_denominator);
    fullscreen_checked_ = ZemblaSystem::fullscreen != 0;
    vsync_checked_ = ZemblaSystem::vsync != 0;

    // Make the settings what the controls now show. The sync client and its
    // host have no control here, so their settings stay as they are.
    select_resolution(resolution_selection_);
    select_anti_aliasing(anti_aliasing_selection_);
    set_fullscreen_checked(fullscreen_checked_);
    set_vsync_checked(vsync_checked_);
    select_aspect_ratio(aspect_ratio_selection_);
}

void SetupDialogModel::select_resolution(int index) {
    if (index < 0 || index >= static_cast<int>(resolution_texts_.size())) return;
    resolution_selection_ = index;
    apply_resolution_text(resolution_texts_[index]);
}

void SetupDialogModel::select_anti_aliasing(int index) {
    if (index < 0 || index >= static_cast<int>(kAntiAliasingOptions.size())) return;
    anti_aliasing_selection_ = index;
    apply_anti_aliasing_text(kAntiAliasingOptions[index]);
}

void SetupDialogModel::select_aspect_ratio(int index) {
    if (index < 0 || index >= static_cast<int>(kAspectRatioOptions.size())) return;
    aspect_ratio_selection_ = index;
    apply_aspect_ratio_text(kAspectRatioOptions[index]);
}

void SetupDialogModel::set_fullscreen_checked(bool checked) {
    fullscreen_checked_ = checked;
    ZemblaSystem::fullscreen = checked ? 1 : 0;
}

void SetupDialogModel::set_vsync_checked(bool checked) {
    vsync_checked_ = checked;
    ZemblaSystem::vsync = checked ? 1 : 0;
}

void SetupDialogModel::apply_resolution_text(const std::string& text) {
    std::string::size_type x = text.find('x');
    std::string before = text.substr(0, x);
    std::string after = x == std::string::npos ? std::string() : text.substr(x + 1);
    ZemblaSystem::width = std::atoi(before.c_str());
    ZemblaSystem::height = std::atoi(after.c_str());
}

void SetupDialogModel::apply_anti_aliasing_text(const std::string& text) {
    if (text == "None") {
        ZemblaSystem::samples = 1;
        return;
    }
    const char* buffer = text.c_str();
    FATAL_ASSERT(1 == sscanf( buffer, "%ix", &ZemblaSystem::samples ));
}

void SetupDialogModel::apply_aspect_ratio_text(const std::string& text) {
    if (text == "4:3") {
        ZemblaSystem::aspect_numerator = 4;
        ZemblaSystem::aspect_denominator = 3;
    } else if (text == "16:9") {
        ZemblaSystem::aspect_numerator = 16;
        ZemblaSystem::aspect_denominator = 9;
    } else if (text == "16:10") {
        ZemblaSystem::aspect_numerator = 16;
        ZemblaSystem::aspect_denominator = 10;
    } else {
        FATAL_ERROR("Unrecognized aspect ratio option " << text << "!");
    }
}

bool SetupDialogModel::command(int id) {
    if (ended_) return true;
    switch (id) {
        case SetupDialogId::Run:
        case SetupDialogId::Quit:
            end(id);
            break;
        case SetupDialogId::GetAvi:
            ZemblaSystem::get_avi = true;
            end(id);
            break;
        case SetupDialogId::GetMp3:
            if (export_soundtrack_) export_soundtrack_();
            // Done with it: the next Enter runs the show instead of exporting
            // again.
            focused_ = SetupDialogId::Run;
            break;
        case SetupDialogId::Fullscreen:
            set_fullscreen_checked(!fullscreen_checked_);
            break;
        case SetupDialogId::Vsync:
            set_vsync_checked(!vsync_checked_);
            break;
        default:
            break;
    }
    return ended_;
}

namespace {

const SetupDialogControl* control_with_id(int id) {
    for (const SetupDialogControl& control : setup_dialog_controls())
        if (control.id == id && control.kind != SetupDialogControl::Label) return &control;
    return nullptr;
}

bool is_push_button(int id) {
    const SetupDialogControl* control = control_with_id(id);
    return control &&
           (control->kind == SetupDialogControl::Button || control->kind == SetupDialogControl::DefaultButton);
}

}  // namespace

bool SetupDialogModel::key(DialogKey key, bool alt, char letter) {
    if (ended_) return true;
    switch (key) {
        case DialogKey::Enter:
            // A focused push button is the one Enter presses, as in any dialog.
            return command(is_push_button(focused_) ? focused_ : SetupDialogId::Run);
        case DialogKey::Escape: return command(SetupDialogId::Quit);
        case DialogKey::Letter:
            if (alt) {
                int id = setup_dialog_mnemonic(letter);
                if (id != 0) {
                    set_focus(id);
                    return command(id);
                }
            }
            return ended_;
        case DialogKey::Tab: move_focus(1); return ended_;
        case DialogKey::BackTab: move_focus(-1); return ended_;
        case DialogKey::Space: {
            const SetupDialogControl* control = control_with_id(focused_);
            if (control && control->kind != SetupDialogControl::List) return command(focused_);
            return ended_;
        }
        case DialogKey::Up:
        case DialogKey::Left: step_list(-1); return ended_;
        case DialogKey::Down:
        case DialogKey::Right: step_list(1); return ended_;
    }
    return ended_;
}

void SetupDialogModel::set_focus(int id) {
    if (control_with_id(id)) focused_ = id;
}

void SetupDialogModel::move_focus(int step) {
    const std::vector<int> order = setup_dialog_tab_order();
    const int count = static_cast<int>(order.size());
    int at = 0;
    for (int i = 0; i < count; ++i)
        if (order[i] == focused_) at = i;
    focused_ = order[((at + step) % count + count) % count];
}

void SetupDialogModel::step_list(int step) {
    // The select functions ignore an index past either end.
    switch (focused_) {
        case SetupDialogId::Resolution: select_resolution(resolution_selection_ + step); break;
        case SetupDialogId::AntiAliasing: select_anti_aliasing(anti_aliasing_selection_ + step); break;
        case SetupDialogId::AspectRatio: select_aspect_ratio(aspect_ratio_selection_ + step); break;
        default: break;
    }
}

void SetupDialogModel::end(int result) {
    ended_ = true;
    result_ = result;
}

int setup_dialog_mnemonic(char letter) {
    for (const SetupDialogControl& control : setup_dialog_controls()) {
        MnemonicText label = split_mnemonic(control.text);
        if (label.index >= 0 && std::tolower(static_cast<unsigned char>(label.text[label.index])) ==
                                    std::tolower(static_cast<unsigned char>(letter)))
            return control.id;
    }
    return 0;
}

const std::vector<SetupDialogControl>& setup_dialog_controls() {
    using C = SetupDialogControl;
    static const std::vector<SetupDialogControl> controls = {
        {0, C::Label, "Choose resolution", 5, 5, 65, 10},
        {SetupDialogId::Resolution, C::List, "", 75, 5, 55, 500},
        {0, C::Label, "Anti-aliasing", 5, 20, 65, 10},
        {SetupDialogId::AntiAliasing, C::List, "", 75, 20, 55, 500},
        {0, C::Label, "Aspect ratio", 5, 35, 65, 10},
        {SetupDialogId::AspectRatio, C::List, "", 75, 35, 55, 500},
        {SetupDialogId::Run, C::DefaultButton, "&Run", 5, 50, 30, 10},
        {SetupDialogId::GetAvi, C::Button, "Get &avi", 40, 50, 30, 10},
        {SetupDialogId::Fullscreen, C::CheckBox, "&Fullscreen", 75, 50, 55, 10},
        {SetupDialogId::Quit, C::Button, "&Quit", 5, 60, 30, 10},
        {SetupDialogId::GetMp3, C::Button, "Get &mp3", 40, 60, 30, 10},
        {SetupDialogId::Vsync, C::CheckBox, "&Vsync enable", 75, 60, 55, 10},
    };
    return controls;
}

std::vector<int> setup_dialog_tab_order() {
    std::vector<int> order;
    for (const SetupDialogControl& control : setup_dialog_controls())
        if (control.kind != SetupDialogControl::Label) order.push_back(control.id);
    return order;
}

MnemonicText split_mnemonic(const std::string& text) {
    MnemonicText result{"", -1};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&') result.index = static_cast<int>(result.text.size());
        }
        result.text += text[i];
    }
    return result;
}
