// The full-screen shader scenes on a real context: a timer-mode run (120 bpm)
// in a folder of its own with the scenes' data linked in, each scene drawn
// alone over black into a 320 x 180 target at chosen beats and read back.
#pragma once

#include <GL/glew.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "scenes/scene.h"
#include "scenes/scene_frame.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "util/music/music.h"
#include "util/music/music_fixture.h"

namespace shader_scene_test {

using test_support::Frame;

constexpr int kWidth = 320, kHeight = 180;

// Fractions of a picture's pixels: lit (a channel above 40 of 255) and burnt
// out (every channel above 250).
struct Exposure {
    double lit = 0.0;
    double white = 0.0;
};

inline Exposure exposure_of(const Frame& f) {
    int lit = 0, white = 0;
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            const test_support::Rgba p = f.at(x, y);
            lit += p.brightest() > 40;
            white += p.r > 250 && p.g > 250 && p.b > 250;
        }
    const double n = static_cast<double>(f.width()) * f.height();
    return {lit / n, white / n};
}

// The fraction of pixels that differ by more than `tolerance` in a channel.
inline double changed_between(const Frame& a, const Frame& b, int tolerance = 12) {
    int changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const test_support::Rgba p = a.at(x, y), q = b.at(x, y);
            changed += std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
                       std::abs(p.b - q.b) > tolerance;
        }
    return changed / (static_cast<double>(a.width()) * a.height());
}

class ShaderSceneTest : public music_test::MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        test_support::ensure_gl_context();
        while (glGetError() != GL_NO_ERROR) {
        }
        std::filesystem::create_directory_symlink(test_support::source_path("data/scenes"), "data/scenes");
    }

    void TearDown() override {
        music.reset();
        MusicTest::TearDown();
    }

    // A scene of class S made and initialised on a fresh timer-mode music
    // object, which reads the track files written before.
    template <typename S>
    std::unique_ptr<S> made_scene() {
        music = std::make_unique<Music>();
        auto scene = std::make_unique<S>();
        scene->set_music(music.get());
        scene->init();
        EXPECT_NO_GL_ERROR();
        return scene;
    }

    // The scene's picture at a beat, over black.
    Frame frame_at(Scene& scene, float beat, const std::string& keep_as) {
        return scene_test::frame_at_beat(scene, *music, beat, kWidth, kHeight, keep_as);
    }

    std::unique_ptr<Music> music;
};

}  // namespace shader_scene_test
