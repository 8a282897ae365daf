// Raw triangle geometry and the primitive shapes every 3D scene is built
// from. A Mesh keeps one float list per attribute with its floats per
// vertex (stride 0: the attribute is absent); every three consecutive
// vertices are one triangle, there is no index list. The system reads no
// model files: cube, cylinder, subdivided icosahedron and plane are all
// there is, plus the matrix that stretches the unit cylinder between two
// points. Pure arithmetic, no GL.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"

struct Mesh {
    std::string name;  // "Cube", "Cylinder", "Icosahedron" or "Plane"
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<float> tangents;
    std::vector<float> texcoords;
    int vertices_stride = 0;
    int normals_stride = 0;
    int tangents_stride = 0;
    int texcoords_stride = 0;
    // Set by the caller when the triangles close a solid with every triangle
    // counter-clockwise seen from outside: its back faces then lie behind its
    // front faces wherever it is seen from, and the plain and glow passes of
    // the scene graph leave them out, as do the shadow pipeline's ambient and
    // lit passes of a graph that does not cull faces itself. The builders
    // leave it off.
    bool closed = false;

    // Vertices of the position list (0 without positions).
    int vertex_count() const {
        return vertices_stride > 0 ? static_cast<int>(vertices.size()) / vertices_stride : 0;
    }
};

// Builders hand the new mesh to the caller. invert_normals negates
// the normals only (positions, winding and texture coordinates stay).

// A cube of that edge length around the origin, 36 vertices, triangles
// counter-clockwise seen from outside.
std::unique_ptr<Mesh> create_cube(float size, bool invert_normals);
// A tube along +z from 0 to height without caps, 6 x (segments + 1)
// vertices; null for 0 segments.
std::unique_ptr<Mesh> create_cylinder(float radius, float height, unsigned segments, bool invert_normals);
// A sphere around the origin from the icosahedron subdivided that many
// times, 3 x 20 x 4^subdivisions vertices; null below 1 subdivision.
std::unique_ptr<Mesh> create_icosahedron(float radius, int subdivisions, bool invert_normals);
// A quad in the x-z plane at y = 0 around the origin, normal +y, tangent +x,
// the texture repeated texture_repeat times.
std::unique_ptr<Mesh> create_plane(float width, float depth, float texture_repeat);

// The recursive step of create_icosahedron: the spherical triangle a, b, c
// (unit vectors) split depth times, appended to the mesh.
void subdivide_triangle(Mesh* mesh, const vec3& a, const vec3& b, const vec3& c, int depth,
                        float radius, vec3 centre, bool invert_normals);

// The placement of the unit cylinder (z from 0 to 1) so that it runs from
// `from` to `to`. A segment without z extent is given a z of 0.0001 first.
void segment_matrix(const vec3& from, const vec3& to, mat4& out);
