// The common part of the scenes that rebuild coloured geometry on the CPU
// every frame and add it to the picture (the box grid and the glow shapes):
// a camera steered by the shared camera tracks, a per-vertex-colour program,
// and one vertex array drawn with one call.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>

#include "scenes/scene.h"
#include "scenes/vertex_streams.h"
#include "util/camera/camera.h"
#include "util/easydraw/easydrawcustom.h"

class ShaderConstructor;
class ShaderProgram;

class VertexColourScene : public Scene {
public:
    VertexColourScene();
    ~VertexColourScene() override;
    // One draw call into the bound target.
    bool draws_in_scissor_box() const override { return true; }

protected:
    // Builds the program `program_name` from the vertex-colour builder and
    // sets the camera's clip range (0.00001 to 500).
    void init_drawing(const std::string& program_name);
    // Points the camera from the camera tracks, sets it up for the scene's
    // size, binds the program with the camera's matrices, and switches to
    // additive blending without depth test; depth writes go off only when
    // `depth_writes_off` is set.
    void begin_frame(bool depth_writes_off);
    // Uploads `streams` and draws it with one call.
    void draw_streams(GLenum mode);

    Camera camera;
    EasyDrawObject vao;
    std::unique_ptr<ShaderProgram> program;
    VertexStreams streams;
};
