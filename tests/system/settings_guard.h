// Puts back the settings that the dialog and the start-up change.
#pragma once

#include <cstring>
#include <string>

#include "system/zemblasystem.h"

namespace test_support {

class SettingsGuard {
public:
    SettingsGuard()
        : width_(ZemblaSystem::width),
          height_(ZemblaSystem::height),
          fullscreen_(ZemblaSystem::fullscreen),
          vsync_(ZemblaSystem::vsync),
          samples_(ZemblaSystem::samples),
          numerator_(ZemblaSystem::aspect_numerator),
          denominator_(ZemblaSystem::aspect_denominator),
          data_mode_(ZemblaSystem::data_mode),
          sync_client_(ZemblaSystem::sync_client),
          get_avi_(ZemblaSystem::get_avi),
          title_(ZemblaSystem::title),
          music_file_(ZemblaSystem::music_file),
          logo_file_(ZemblaSystem::logo_file),
          loading_screen_(ZemblaSystem::loading_screen),
          fade_time_ms_(ZemblaSystem::fade_time_ms),
          bpm_(ZemblaSystem::bpm) {
        std::memcpy(sync_host_, ZemblaSystem::sync_host, sizeof sync_host_);
    }

    ~SettingsGuard() {
        ZemblaSystem::width = width_;
        ZemblaSystem::height = height_;
        ZemblaSystem::fullscreen = fullscreen_;
        ZemblaSystem::vsync = vsync_;
        ZemblaSystem::samples = samples_;
        ZemblaSystem::aspect_numerator = numerator_;
        ZemblaSystem::aspect_denominator = denominator_;
        ZemblaSystem::data_mode = data_mode_;
        ZemblaSystem::sync_client = sync_client_;
        ZemblaSystem::get_avi = get_avi_;
        ZemblaSystem::title = title_;
        ZemblaSystem::music_file = music_file_;
        ZemblaSystem::logo_file = logo_file_;
        ZemblaSystem::loading_screen = loading_screen_;
        ZemblaSystem::fade_time_ms = fade_time_ms_;
        ZemblaSystem::bpm = bpm_;
        std::memcpy(ZemblaSystem::sync_host, sync_host_, sizeof sync_host_);
    }

    SettingsGuard(const SettingsGuard&) = delete;
    SettingsGuard& operator=(const SettingsGuard&) = delete;

private:
    int width_, height_, fullscreen_, vsync_, samples_, numerator_, denominator_, data_mode_,
        sync_client_;
    bool get_avi_;
    std::string title_, music_file_, logo_file_;
    int loading_screen_, fade_time_ms_;
    float bpm_;
    char sync_host_[sizeof ZemblaSystem::sync_host];
};

}  // namespace test_support
