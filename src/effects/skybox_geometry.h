// The sky box without GL: its cube, the transform that places it, the names
// of its six face files, and which face a direction in the world shows.
//
// The cube's corners are at +-1 on each axis; each corner is also its own
// texture coordinate, the direction into the cube map. The cube is turned
// 90 degrees about x, scaled by the half edge and moved to the position, so
// a view along world +Y shows the -Z face of the map (see skybox_face).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "util/math/mat4.h"
#include "util/math/vector.h"

namespace Effects {

// Corner i at (x, y, z), each +-1.
extern const float kSkyBoxCorners[8][3];
// Twelve triangles as corner indices: faces z = +1, x = +1, z = -1, x = -1,
// y = +1, y = -1, two triangles each.
extern const uint8_t kSkyBoxIndices[36];

// The cube-map faces in load order.
enum SkyBoxFace { NegX = 0, PosX, NegY, PosY, NegZ, PosZ };

// Face words of the two naming schemes, in face order: "negx" ... "posz",
// and "left", "right", "down", "up", "back", "front".
enum class SkyBoxNaming { Axes, Sides };
std::array<std::string, 6> skybox_face_files(const std::string& base, const std::string& extension,
                                             SkyBoxNaming naming);

// Translate to the position, scale by `scale` (the half edge), turn 90
// degrees about x: the cube's model matrix, multiplied onto the modelview.
mat4 skybox_model(const vec3& position, float scale);

// The face of the map seen looking from the cube's centre along a world
// direction (the largest component of the turned direction decides; ties go
// to x, then y).
SkyBoxFace skybox_face(const vec3& world_direction);

}  // namespace Effects
