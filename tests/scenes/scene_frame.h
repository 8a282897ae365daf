// A scene's picture at a beat: the music clock set there, the scene drawn
// alone over black into a target of its own of width x height, read back,
// and kept as a PNG named `keep_as` when screenshots are asked for
// (ZEMBLA_SCREENSHOT_DIR).
#pragma once

#include <GL/glew.h>

#include <string>

#include "scenes/scene.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "util/fbo/fbo.h"
#include "util/music/music.h"

namespace scene_test {

inline test_support::Frame frame_at_beat(Scene& scene, Music& music, float beat, int width, int height,
                                         const std::string& keep_as) {
    music.set_time(beat * 60.0f / music.get_bpm());
    FBO target(width, height, FBO_TYPE_RGBA8, 0);
    glClearColor(0, 0, 0, 0);
    target.push(true);
    scene.resize(width, height);
    scene.draw();
    EXPECT_NO_GL_ERROR();
    test_support::Frame f(width, height);
    target.pop();
    f.keep(keep_as);
    return f;
}

}  // namespace scene_test
