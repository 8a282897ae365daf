// A GL test of the stand-alone effects: the data of the source tree (shaders
// and pictures under data/effects/), plain data mode, and a music object on
// its timer (no soundtrack: waveform and spectrum buffers stay as given).
#pragma once

#include <GL/glew.h>

#include <memory>

#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/music/music.h"

namespace effects_test {

class EffectsGlTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saved_mode = DataFile::get_mode();
        DataFile::set_mode(DataFileMode::Plain);
        ZemblaSystem::music_file = "";
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        music = std::make_unique<Music>();
    }
    void TearDown() override {
        music.reset();
        DataFile::set_mode(saved_mode);
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
    }

    test_support::SettingsGuard settings;
    test_support::ScopedChdir in_source{test_support::source_path("")};
    int saved_mode = 0;
    std::unique_ptr<Music> music;
};

}  // namespace effects_test
