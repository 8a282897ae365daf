#include "util/objects3d/mesh.h"

#include <cmath>

#include "util/math/scalar.h"

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;

void push_xyz(std::vector<float>& list, float x, float y, float z) {
    list.push_back(x);
    list.push_back(y);
    list.push_back(z);
}

void push2(std::vector<float>& list, float u, float v) {
    list.push_back(u);
    list.push_back(v);
}

std::unique_ptr<Mesh> new_mesh(const char* name, int tangents_stride) {
    auto mesh = std::make_unique<Mesh>();
    mesh->name = name;
    mesh->vertices_stride = 3;
    mesh->normals_stride = 3;
    mesh->tangents_stride = tangents_stride;
    mesh->texcoords_stride = 2;
    return mesh;
}

struct CubeCorner {
    float x, y, z, u, v;
};

struct CubeFace {
    float nx, ny, nz;
    CubeCorner p, q, r, s;  // in units of the half edge
};

// Each face is the two triangles P R Q and Q R S, counter-clockwise seen
// from outside like every other shape, so that face culling keeps the
// outside of the cube.
const CubeFace kCubeFaces[6] = {
    {0, 0, 1, {-1, -1, 1, 0, 0}, {-1, 1, 1, 0, 1}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}},
    {0, 0, -1, {-1, -1, -1, 1, 0}, {1, -1, -1, 0, 0}, {-1, 1, -1, 1, 1}, {1, 1, -1, 0, 1}},
    {0, 1, 0, {-1, 1, -1, 0, 1}, {1, 1, -1, 1, 1}, {-1, 1, 1, 0, 0}, {1, 1, 1, 1, 0}},
    {0, -1, 0, {-1, -1, -1, 1, 1}, {-1, -1, 1, 1, 0}, {1, -1, -1, 0, 1}, {1, -1, 1, 0, 0}},
    {1, 0, 0, {1, -1, -1, 1, 0}, {1, -1, 1, 0, 0}, {1, 1, -1, 1, 1}, {1, 1, 1, 0, 1}},
    {-1, 0, 0, {-1, -1, -1, 0, 0}, {-1, 1, -1, 0, 1}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}},
};

// The single-precision values of the icosahedron's two coordinates.
constexpr float kIcoX = 0.525731112119133606f;
constexpr float kIcoZ = 0.850650808352039932f;

const float kIcoVertices[12][3] = {
    {-kIcoX, 0, kIcoZ}, {kIcoX, 0, kIcoZ},  {-kIcoX, 0, -kIcoZ}, {kIcoX, 0, -kIcoZ},
    {0, kIcoZ, kIcoX},  {0, kIcoZ, -kIcoX}, {0, -kIcoZ, kIcoX},  {0, -kIcoZ, -kIcoX},
    {kIcoZ, kIcoX, 0},  {-kIcoZ, kIcoX, 0}, {kIcoZ, -kIcoX, 0},  {-kIcoZ, -kIcoX, 0},
};

const int kIcoFaces[20][3] = {
    {0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8},  {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6},  {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
};

vec3 normalized(vec3 v) {
    v.normalize();
    return v;
}

vec3 midpoint_on_sphere(const vec3& a, const vec3& b) { return normalized((a + b) / 2.0f); }

}  // namespace

std::unique_ptr<Mesh> create_cube(float size, bool invert_normals) {
    std::unique_ptr<Mesh> mesh = new_mesh("Cube", 0);
    const float h = size * 0.5f;
    const float s = invert_normals ? -1.0f : 1.0f;
    for (const CubeFace& face : kCubeFaces) {
        const CubeCorner* order[6] = {&face.p, &face.r, &face.q, &face.q, &face.r, &face.s};
        for (const CubeCorner* c : order) {
            push_xyz(mesh->vertices, c->x * h, c->y * h, c->z * h);
            push_xyz(mesh->normals, face.nx * s, face.ny * s, face.nz * s);
            push2(mesh->texcoords, c->u, c->v);
        }
    }
    return mesh;
}

std::unique_ptr<Mesh> create_cylinder(float radius, float height, unsigned segments, bool invert_normals) {
    if (segments == 0) return nullptr;
    std::unique_ptr<Mesh> mesh = new_mesh("Cylinder", 0);
    const float s = invert_normals ? -1.0f : 1.0f;
    float v0 = 0.0f;
    float x0 = radius * std::cos(0.0f), y0 = radius * std::sin(0.0f);
    for (unsigned i = 0; i <= segments; ++i) {
        // The last pass closes the tube on column 0 exactly.
        const float angle = i == segments ? 0.0f
                                          : static_cast<float>(i) * kTwoPi /
                                                static_cast<float>(segments);
        const float v = angle / kTwoPi;
        const float x = radius * std::cos(angle), y = radius * std::sin(angle);
        const vec3 n0 = normalized(vec3(x0, y0, 0.0f)) * s;
        const vec3 n = normalized(vec3(x, y, 0.0f)) * s;
        struct Corner {
            float x, y, z, u, v;
            const vec3* n;
        };
        const Corner corners[6] = {{x0, y0, height, 0, v0, &n0}, {x0, y0, 0, 1, v0, &n0},
                                   {x, y, height, 0, v, &n},     {x, y, height, 0, v, &n},
                                   {x0, y0, 0, 1, v0, &n0},      {x, y, 0, 1, v, &n}};
        for (const Corner& c : corners) {
            push_xyz(mesh->vertices, c.x, c.y, c.z);
            push_xyz(mesh->normals, c.n->x, c.n->y, c.n->z);
            push2(mesh->texcoords, c.u, c.v);
        }
        v0 = v;
        x0 = x;
        y0 = y;
    }
    return mesh;
}

std::unique_ptr<Mesh> create_icosahedron(float radius, int subdivisions, bool invert_normals) {
    if (subdivisions < 1) return nullptr;
    std::unique_ptr<Mesh> mesh = new_mesh("Icosahedron", 0);
    for (const auto& f : kIcoFaces) {
        const float* a = kIcoVertices[f[0]];
        const float* b = kIcoVertices[f[1]];
        const float* c = kIcoVertices[f[2]];
        subdivide_triangle(mesh.get(), vec3(a[0], a[1], a[2]), vec3(b[0], b[1], b[2]),
                           vec3(c[0], c[1], c[2]), subdivisions, radius, vec3(0, 0, 0),
                           invert_normals);
    }
    return mesh;
}

void subdivide_triangle(Mesh* mesh, const vec3& a, const vec3& b, const vec3& c, int depth,
                        float radius, vec3 centre, bool invert_normals) {
    if (depth > 0) {
        const vec3 ab = midpoint_on_sphere(a, b);
        const vec3 ac = midpoint_on_sphere(a, c);
        const vec3 bc = midpoint_on_sphere(b, c);
        subdivide_triangle(mesh, a, ab, ac, depth - 1, radius, centre, invert_normals);
        subdivide_triangle(mesh, b, bc, ab, depth - 1, radius, centre, invert_normals);
        subdivide_triangle(mesh, c, ac, bc, depth - 1, radius, centre, invert_normals);
        subdivide_triangle(mesh, ab, bc, ac, depth - 1, radius, centre, invert_normals);
        return;
    }
    const vec3* p[3] = {&a, &b, &c};
    float u[3], v[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = std::atan2(p[i]->x, p[i]->z) / kTwoPi + 0.5f;
        v[i] = std::asin(p[i]->y) / kPi + 0.5f;
    }
    // Keep the triangle on one side of the seam where u wraps from 1 to 0.
    for (int i = 1; i < 3; ++i) {
        if (u[i] < 0.75f && u[0] > 0.75f)
            u[i] += 1.0f;
        else if (u[i] > 0.75f && u[0] < 0.75f)
            u[i] -= 1.0f;
    }
    const float s = invert_normals ? -1.0f : 1.0f;
    for (int i = 2; i >= 0; --i) {
        const vec3& q = *p[i];
        push_xyz(mesh->vertices, radius * q.x + centre.x, radius * q.y + centre.y,
              radius * q.z + centre.z);
        push_xyz(mesh->normals, s * q.x, s * q.y, s * q.z);
        push2(mesh->texcoords, 5.0f * u[i], 5.0f * v[i]);
    }
}

std::unique_ptr<Mesh> create_plane(float width, float depth, float texture_repeat) {
    std::unique_ptr<Mesh> mesh = new_mesh("Plane", 3);
    const float w = width / 2.0f, d = depth / 2.0f;
    const float corners[6][2] = {{-w, -d}, {-w, d}, {w, d}, {-w, -d}, {w, d}, {w, -d}};
    for (const auto& c : corners) {
        push_xyz(mesh->vertices, c[0], 0.0f, c[1]);
        push_xyz(mesh->normals, 0.0f, 1.0f, 0.0f);
        push_xyz(mesh->tangents, 1.0f, 0.0f, 0.0f);
        push2(mesh->texcoords, texture_repeat * (c[0] / width + 0.5f),
              texture_repeat * (c[1] / depth + 0.5f));
    }
    return mesh;
}

void segment_matrix(const vec3& from, const vec3& to, mat4& out) {
    vec3 d = to - from;
    if (d.z == 0.0f) d.z = 0.0001f;
    const float length = d.length();
    const float angle = std::acos(d.z / length) * 180.0f / kPi;
    // The rotation turns +z onto d about the axis z x d. Its length is kept
    // out of the test for a usable axis: scaled by d.z (as z x d would be
    // once more) it falls below the rotation's threshold for short or nearly
    // horizontal segments, which then lay along +z instead.
    const float axis_length = std::sqrt(d.x * d.x + d.y * d.y);
    out.set_identity();
    if (axis_length >= 1e-4f)
        out.rotate(angle, -d.y / axis_length, d.x / axis_length, 0.0f);
    else if (d.z < 0.0f)
        out.rotate(180.0f, 1.0f, 0.0f, 0.0f);  // straight down -z
    out.translate(from);
    out.scale(1.0f, 1.0f, length);
}
