// What the tests of scenes driven by notes share: a real context, timer-mode
// music at 120 bpm whose note data the test makes, scenes made over it, and
// a scene's picture at a chosen beat in a 320 x 180 target.
#pragma once

#include <memory>
#include <string>

#include "scenes/scene.h"
#include "scenes/scene_frame.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "util/music/music.h"
#include "util/music/music_fixture.h"
#include "util/music/notedata.h"

namespace scene_test {

// The target's size.
constexpr int kWidth = 320, kHeight = 180;

class NoteSceneTest : public music_test::MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        test_support::ensure_gl_context();
        while (glGetError() != GL_NO_ERROR) {
        }
        music = std::make_unique<Music>();  // timer mode at 120 bpm
    }

    void TearDown() override {
        music->notes = nullptr;
        music.reset();
        MusicTest::TearDown();
    }

    // Presses key at beat `on` and releases it at `off`.
    static void play(Track& track, uint8_t key, float on, float off) {
        Note& note = track.note_for_key(key);
        note.times.push_back(on);
        note.times.push_back(-off);
    }

    // The note data made so far, handed to the music.
    void use_notes() { music->notes = &notes; }

    template <typename S>
    std::unique_ptr<S> made_scene() {
        auto scene = std::make_unique<S>();
        scene->set_music(music.get());
        scene->init();
        return scene;
    }

    // The scene's picture at a beat, over black.
    test_support::Frame frame_at(Scene& scene, float beat, const std::string& keep_as) {
        return frame_at_beat(scene, *music, beat, kWidth, kHeight, keep_as);
    }

    NoteData notes{""};
    std::unique_ptr<Music> music;
};

}  // namespace scene_test
