#include "util/easydraw/easydraw.h"

#include <GL/glew.h>

#include <cmath>

#include "system/fatal.h"
#include "util/context_cache.h"
#include "util/math/scalar.h"
#include "util/easydraw/easydrawcustom.h"

std::vector<float> easydraw_positions;
std::vector<float> easydraw_normals;
std::vector<float> easydraw_texcoords;
std::vector<float> easydraw_tangents;

namespace {

// A vertex array with positions (buffer 0, location 0) and texture
// coordinates (buffer 1, location 2), two floats each.
struct QuadArrays {
    GLuint vao = 0;
    GLuint vbo[2] = {0, 0};

    bool created() const { return vao != 0; }

    void create() {
        glGenVertexArrays(1, &vao);
        FATAL_ASSERT(vao);
        glGenBuffers(2, vbo);
        FATAL_ASSERT(vbo[0] && vbo[1]);
    }

    void attach_arrays() {
        glBindBuffer(GL_ARRAY_BUFFER, vbo[0]);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, vbo[1]);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }

    void upload(const float* positions, const float* texcoords, GLenum usage) {
        glBindBuffer(GL_ARRAY_BUFFER, vbo[0]);
        glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(float), positions, usage);
        glBindBuffer(GL_ARRAY_BUFFER, vbo[1]);
        glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(float), texcoords, usage);
        // Unbound again, so that client-array drawing after us is not read
        // from our buffer.
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    void draw() {
        glBindVertexArray(vao);
        glDrawArrays(GL_QUADS, 0, 4);
        glBindVertexArray(0);
    }
};

void draw_dynamic_quad(QuadArrays& quad, float x, float y, float w, float h, float s0, float s1,
                       float t0, float t1) {
    if (!quad.created()) {
        quad.create();
        glBindVertexArray(quad.vao);
        quad.attach_arrays();
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    const float positions[8] = {x, y, x + w, y, x + w, y + h, x, y + h};
    const float texcoords[8] = {s0, t0, s1, t0, s1, t1, s0, t1};
    quad.upload(positions, texcoords, GL_DYNAMIC_DRAW);
    quad.draw();
}

void clear_streams() {
    easydraw_positions.clear();
    easydraw_normals.clear();
    easydraw_texcoords.clear();
    easydraw_tangents.clear();
}

void push3(std::vector<float>& stream, float a, float b, float c) {
    stream.push_back(a);
    stream.push_back(b);
    stream.push_back(c);
}

// Hands the four streams to the object: position 0, texcoord 2, normal 1,
// tangent 3.
void upload_streams(EasyDrawObject& object) {
    auto n = [](const std::vector<float>& v) { return static_cast<uint32_t>(v.size()); };
    object.set_attribute(0, 3, n(easydraw_positions), easydraw_positions.data(), 0);
    object.set_attribute(2, 2, n(easydraw_texcoords), easydraw_texcoords.data(), 0);
    object.set_attribute(1, 3, n(easydraw_normals), easydraw_normals.data(), 0);
    object.set_attribute(3, 3, n(easydraw_tangents), easydraw_tangents.data(), 0);
}

// Appends one vertex with its normal, texture coordinate and tangent.
void push_vertex(float px, float py, float pz, const float* normal, const float* tangent, float u,
                 float v) {
    push3(easydraw_positions, px, py, pz);
    push3(easydraw_normals, normal[0], normal[1], normal[2]);
    easydraw_texcoords.push_back(u);
    easydraw_texcoords.push_back(v);
    push3(easydraw_tangents, tangent[0], tangent[1], tangent[2]);
}

void cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// (up - p) x p, which is up x p.
void tangent_from(const float* up, const float* p, float* t) {
    const float d[3] = {up[0] - p[0], up[1] - p[1], up[2] - p[2]};
    cross(d, p, t);
}

const float kX = 0.525731087f;
const float kZ = 0.850650787f;

const float kIcosahedron[12][3] = {
    {-kX, 0, kZ}, {kX, 0, kZ},  {-kX, 0, -kZ}, {kX, 0, -kZ}, {0, kZ, kX},  {0, kZ, -kX},
    {0, -kZ, kX}, {0, -kZ, -kX}, {kZ, kX, 0},  {-kZ, kX, 0}, {kZ, -kX, 0}, {-kZ, -kX, 0},
};

const int kIcosahedronFaces[20][3] = {
    {0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8},  {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6},  {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
};


}  // namespace

void easydraw_fullscreen_quad() {
    static QuadArrays quad;
    if (!quad.created()) {
        static const float positions[8] = {-1, -1, 1, -1, 1, 1, -1, 1};
        static const float texcoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};
        quad.create();
        glBindVertexArray(quad.vao);
        quad.upload(positions, texcoords, GL_STATIC_DRAW);
        quad.attach_arrays();
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    quad.draw();
}

void easydraw_quad(float x, float y, float w, float h) {
    static QuadArrays quad;
    draw_dynamic_quad(quad, x, y, w, h, 0, 1, 0, 1);
}

void easydraw_quad_uv(float x, float y, float w, float h, float s0, float s1, float t0, float t1) {
    static QuadArrays quad;
    draw_dynamic_quad(quad, x, y, w, h, s0, s1, t0, t1);
}

void easydraw_normalize(float* v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void easydraw_subdivide(const float* p1, const float* p2, const float* p3, int depth,
                        float radius, bool inverted) {
    if (depth > 0) {
        float m12[3], m13[3], m23[3];
        for (int i = 0; i < 3; ++i) {
            m12[i] = (p1[i] + p2[i]) / 2;
            m13[i] = (p1[i] + p3[i]) / 2;
            m23[i] = (p2[i] + p3[i]) / 2;
        }
        easydraw_normalize(m12);
        easydraw_normalize(m13);
        easydraw_normalize(m23);
        easydraw_subdivide(p1, m12, m13, depth - 1, radius, inverted);
        easydraw_subdivide(p2, m23, m12, depth - 1, radius, inverted);
        easydraw_subdivide(p3, m13, m23, depth - 1, radius, inverted);
        easydraw_subdivide(m12, m23, m13, depth - 1, radius, inverted);
        return;
    }

    const float s = inverted ? -1.0f : 1.0f;
    const float up_z[3] = {0, 0, 1};
    const float up_y[3] = {0, 1, 0};
    float t[3];
    tangent_from(up_z, p1, t);
    if (std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]) < 0.1f) tangent_from(up_y, p1, t);

    const float* p[3] = {p1, p2, p3};
    float u[3], v[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = std::atan2(p[i][0], p[i][2]) / (2 * kPi) + 0.5f;
        v[i] = std::asin(p[i][1]) / kPi + 0.5f;
    }
    // Keep the triangle's U values on one side of the wrap-around.
    for (int i = 1; i < 3; ++i) {
        if (u[i] < 0.75f && u[0] > 0.75f)
            u[i] += 1.0f;
        else if (u[i] > 0.75f && u[0] < 0.75f)
            u[i] -= 1.0f;
    }

    for (int i = 2; i >= 0; --i) {
        const float normal[3] = {s * p[i][0], s * p[i][1], s * p[i][2]};
        push_vertex(radius * p[i][0], radius * p[i][1], radius * p[i][2], normal, t, 5 * u[i],
                    5 * v[i]);
    }
}

void easydraw_sphere(float radius, int divisions, bool inverted) {
    if (divisions < 1) return;
    if (divisions > 5) FATAL_ERROR("More than 5 divisions not supported");

    // The last sphere uploaded, and what it was made for.
    struct Sphere {
        EasyDrawObject object;
        float radius = -1.0f;
        int divisions = -1;
        bool inverted = false;
    };
    Sphere& sphere = ContextCache::get([] { return std::make_unique<Sphere>(); });

    if (radius != sphere.radius || divisions != sphere.divisions || inverted != sphere.inverted) {
        clear_streams();
        for (const auto& face : kIcosahedronFaces)
            easydraw_subdivide(kIcosahedron[face[0]], kIcosahedron[face[1]], kIcosahedron[face[2]],
                               divisions, radius, inverted);
        upload_streams(sphere.object);
        sphere.radius = radius;
        sphere.divisions = divisions;
        sphere.inverted = inverted;
    }
    sphere.object.draw(GL_TRIANGLES);
}

void easydraw_box(float width, float height, float depth, bool inverted) {
    EasyDrawObject& object = ContextCache::get([] { return std::make_unique<EasyDrawObject>(); });
    const float hx = width / 2, hy = height / 2, hz = depth / 2;
    const float s = inverted ? -1.0f : 1.0f;

    struct Corner {
        float x, y, z, u, v;
    };
    struct Face {
        float normal[3];
        float tangent[3];
        Corner corners[4];
    };
    const Face faces[6] = {
        {{0, -s, 0}, {-1, 0, 0},
         {{-hx, -hy, -hz, 1, 1}, {hx, -hy, -hz, 0, 1}, {hx, -hy, hz, 0, 0}, {-hx, -hy, hz, 1, 0}}},
        {{0, 0, s}, {1, 0, 0},
         {{-hx, -hy, hz, 0, 0}, {hx, -hy, hz, 1, 0}, {hx, hy, hz, 1, 1}, {-hx, hy, hz, 0, 1}}},
        {{0, 0, -s}, {-1, 0, 0},
         {{-hx, -hy, -hz, 1, 0}, {-hx, hy, -hz, 1, 1}, {hx, hy, -hz, 0, 1}, {hx, -hy, -hz, 0, 0}}},
        {{s, 0, 0}, {0, 0, -1},
         {{hx, -hy, -hz, 1, 0}, {hx, hy, -hz, 1, 1}, {hx, hy, hz, 0, 1}, {hx, -hy, hz, 0, 0}}},
        {{-s, 0, 0}, {0, 0, 1},
         {{-hx, -hy, -hz, 0, 0}, {-hx, -hy, hz, 1, 0}, {-hx, hy, hz, 1, 1}, {-hx, hy, -hz, 0, 1}}},
        {{0, s, 0}, {1, 0, 0},
         {{-hx, hy, -hz, 0, 1}, {-hx, hy, hz, 0, 0}, {hx, hy, hz, 1, 0}, {hx, hy, -hz, 1, 1}}},
    };

    clear_streams();
    for (const Face& face : faces)
        for (const Corner& c : face.corners)
            push_vertex(c.x, c.y, c.z, face.normal, face.tangent, c.u, c.v);
    upload_streams(object);
    object.draw(GL_QUADS);
}

void easydraw_plane(float width, float depth, bool inverted) {
    EasyDrawObject& object = ContextCache::get([] { return std::make_unique<EasyDrawObject>(); });
    const float hx = width / 2, hz = depth / 2;
    const float normal[3] = {0, inverted ? -1.0f : 1.0f, 0};
    const float tangent[3] = {1, 0, 0};

    clear_streams();
    push_vertex(-hx, 0, -hz, normal, tangent, 0, 1);
    push_vertex(-hx, 0, hz, normal, tangent, 0, 0);
    push_vertex(hx, 0, hz, normal, tangent, 1, 0);
    push_vertex(hx, 0, -hz, normal, tangent, 1, 1);
    upload_streams(object);
    object.draw(GL_QUADS);
}
