// The sky box: a cube of 36 vertices drawn in immediate mode around a
// position, textured from a cube map of six face pictures through the shader
// pair "data/effects/skybox/skybox.vert"/".frag". It draws with the depth
// test off, so it writes no depth and hides nothing drawn after it.
//
// Make it after the GL context exists, init it once with a face-file base
// and extension, then render with the camera's matrices loaded.
#pragma once

#include <memory>

#include "effects/effect.h"
#include "effects/skybox_geometry.h"
#include "util/math/vector.h"
#include "util/texture/texturecube.h"

class ShaderProgram;

namespace Effects {

class SkyBox : public Effect {
public:
    SkyBox();
    ~SkyBox() override;
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Centres the cube on `position` with half edge 2 x size, and loads the
    // faces base + word + "." + extension: "negx", "posx", "negy", "posy",
    // "negz", "posz" when the "negx" file is there (asked of the data layer,
    // so the archive answers when the program reads it), else "left",
    // "right", "down", "up", "back", "front". A missing face, or a second
    // init, ends the run.
    void init(const vec3& position, float size, const char* base, const char* extension);
    // `time` is not used. Leaves the program bound, lighting and the depth
    // test on, alpha test, texture generation and face culling off, and no
    // cube map bound or enabled on unit 0.
    void render(float time) override;

    vec3 get_position() const { return position; }
    float get_scale() const { return scale; }

    // The colour every vertex is drawn with.
    vec3 colour = vec3(1, 1, 1);

private:
    bool initialised = false;
    vec3 position;
    float scale = 0.0f;  // half edge
    TextureCube cubemap;
    std::unique_ptr<ShaderProgram> shader;
};

}  // namespace Effects
