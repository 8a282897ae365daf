#include "effects/skybox_geometry.h"

#include <cmath>

namespace Effects {

const float kSkyBoxCorners[8][3] = {
    {-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, -1}, {1, 1, -1}, {-1, -1, -1}, {1, -1, -1},
};

const uint8_t kSkyBoxIndices[36] = {
    0, 1, 2, 1, 3, 2,  // z = +1
    1, 5, 3, 5, 7, 3,  // x = +1
    5, 4, 7, 4, 6, 7,  // z = -1
    4, 0, 6, 0, 2, 6,  // x = -1
    4, 5, 0, 5, 1, 0,  // y = +1
    2, 3, 6, 3, 7, 6,  // y = -1
};

std::array<std::string, 6> skybox_face_files(const std::string& base, const std::string& extension,
                                             SkyBoxNaming naming) {
    static const char* const axes[6] = {"negx", "posx", "negy", "posy", "negz", "posz"};
    static const char* const sides[6] = {"left", "right", "down", "up", "back", "front"};
    const char* const* words = naming == SkyBoxNaming::Axes ? axes : sides;
    std::array<std::string, 6> names;
    for (int i = 0; i < 6; ++i) names[static_cast<size_t>(i)] = base + words[i] + "." + extension;
    return names;
}

mat4 skybox_model(const vec3& position, float scale) {
    mat4 m;
    m.translate(position);
    m.scale(scale, scale, scale);
    m.rotate(90.0f, 1.0f, 0.0f, 0.0f);
    return m;
}

SkyBoxFace skybox_face(const vec3& world_direction) {
    // Undo the turn about x: the cube-map direction of a world direction.
    const mat4 turn = skybox_model(vec3(0, 0, 0), 1.0f);
    const vec3 d = turn.transposed().transform_direction(world_direction);
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax >= ay && ax >= az) return d.x < 0 ? NegX : PosX;
    if (ay >= az) return d.y < 0 ? NegY : PosY;
    return d.z < 0 ? NegZ : PosZ;
}

}  // namespace Effects
