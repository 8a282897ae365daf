// TranceTunnel: a tunnel of rings rushing towards the viewer, drawn by its
// fragment shader from the music position in beats ("time") and the loudness
// of the soundtrack ("fft", the audio level x 100; 0 without a soundtrack).
// It covers the target with one immediate-mode rectangle and sets no
// projection, blending or depth state of its own: its vertex shader takes
// the corners as they are. It registers no sync tracks.
#pragma once

#include "scenes/scene_fullscreen/fullscreen_scene.h"

class TranceTunnel : public FullScreenShaderScene {
public:
    TranceTunnel();
    void draw() override;

protected:
    void set_uniforms(ShaderProgram& bound) override;
};
