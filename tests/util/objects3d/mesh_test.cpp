#include "util/objects3d/mesh.h"

#include <cmath>
#include <functional>
#include <memory>

#include "support/test_support.h"

namespace {

vec3 at3(const std::vector<float>& list, int vertex) {
    return vec3(list[vertex * 3], list[vertex * 3 + 1], list[vertex * 3 + 2]);
}

void expect_vec3(const vec3& actual, const vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

float dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Sign of each triangle's winding against its first vertex's normal: +1
// counter-clockwise seen from where the normal points, -1 clockwise, 0 no area.
std::vector<int> windings(const Mesh& mesh) {
    std::vector<int> result;
    for (int t = 0; t + 2 < mesh.vertex_count(); t += 3) {
        const vec3 a = at3(mesh.vertices, t), b = at3(mesh.vertices, t + 1),
                   c = at3(mesh.vertices, t + 2);
        const float d = dot(cross(b - a, c - a), at3(mesh.normals, t));
        result.push_back(std::fabs(d) < 1e-9f ? 0 : d > 0 ? 1 : -1);
    }
    return result;
}

struct BuilderCase {
    const char* what;
    std::function<std::unique_ptr<Mesh>()> build;
    const char* name;
    int vertices;
    int tangent_stride;
    int winding;  // +1 counter-clockwise, -1 clockwise (degenerate triangles ignored)
};

TEST(Mesh, BuildersGiveTheirNamesCountsStridesAndWinding) {
    const BuilderCase cases[] = {
        {"cube", [] { return create_cube(2.0f, false); }, "Cube", 36, 0, 1},
        {"cylinder 4", [] { return create_cylinder(1.0f, 2.0f, 4, false); }, "Cylinder", 30, 0, 1},
        {"cylinder 8", [] { return create_cylinder(0.5f, 1.0f, 8, false); }, "Cylinder", 54, 0, 1},
        {"icosahedron 1", [] { return create_icosahedron(2.0f, 1, false); }, "Icosahedron", 240, 0, 1},
        {"icosahedron 3", [] { return create_icosahedron(1.0f, 3, false); }, "Icosahedron", 3840, 0, 1},
        {"plane", [] { return create_plane(4.0f, 2.0f, 3.0f); }, "Plane", 6, 3, 1},
    };
    for (const BuilderCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<Mesh> mesh(c.build());
        ASSERT_TRUE(mesh);
        EXPECT_EQ(mesh->name, c.name);
        EXPECT_EQ(mesh->vertices_stride, 3);
        EXPECT_EQ(mesh->normals_stride, 3);
        EXPECT_EQ(mesh->tangents_stride, c.tangent_stride);
        EXPECT_EQ(mesh->texcoords_stride, 2);
        EXPECT_EQ(mesh->vertex_count(), c.vertices);
        EXPECT_EQ(mesh->normals.size(), 3u * c.vertices);
        EXPECT_EQ(mesh->texcoords.size(), 2u * c.vertices);
        EXPECT_EQ(mesh->tangents.size(), static_cast<size_t>(c.tangent_stride * c.vertices));
        for (int w : windings(*mesh)) {
            if (w != 0) {
                ASSERT_EQ(w, c.winding);
            }
        }
    }
}

TEST(Mesh, InvalidCountsGiveNoMesh) {
    EXPECT_FALSE(create_cylinder(1.0f, 1.0f, 0, false));
    EXPECT_FALSE(create_icosahedron(1.0f, 0, false));
    EXPECT_FALSE(create_icosahedron(1.0f, -2, true));
}

TEST(Mesh, CubeSpansItsSizeAndInvertingFlipsOnlyNormals) {
    std::unique_ptr<Mesh> cube(create_cube(2.0f, false));
    std::unique_ptr<Mesh> inverted(create_cube(2.0f, true));
    for (float v : cube->vertices) EXPECT_EQ(std::fabs(v), 1.0f);
    expect_vec3(at3(cube->vertices, 0), vec3(-1, -1, 1), 0.0f);
    expect_vec3(at3(cube->normals, 0), vec3(0, 0, 1), 0.0f);
    EXPECT_EQ(cube->texcoords[0], 0.0f);
    EXPECT_EQ(cube->texcoords[1], 0.0f);
    expect_vec3(at3(inverted->normals, 0), vec3(0, 0, -1), 0.0f);
    EXPECT_EQ(inverted->vertices, cube->vertices);
    EXPECT_EQ(inverted->texcoords, cube->texcoords);
    // Every normal points out of its face: along the axis where the vertex sits at +-1.
    for (int i = 0; i < 36; ++i) {
        const vec3 n = at3(cube->normals, i);
        EXPECT_EQ(dot(n, at3(cube->vertices, i)), 1.0f) << "vertex " << i;
    }
}

TEST(Mesh, CylinderStartsAndClosesOnColumnZero) {
    std::unique_ptr<Mesh> tube(create_cylinder(1.0f, 2.0f, 4, false));
    for (int i = 0; i < 30; ++i) {
        const vec3 p = at3(tube->vertices, i);
        EXPECT_TRUE(p.z == 0.0f || p.z == 2.0f) << "vertex " << i;
        EXPECT_NEAR(p.x * p.x + p.y * p.y, 1.0f, 1e-5f);
        // Normals point away from the axis.
        const vec3 n = at3(tube->normals, i);
        EXPECT_NEAR(n.x, p.x, 1e-5f);
        EXPECT_NEAR(n.y, p.y, 1e-5f);
        EXPECT_EQ(n.z, 0.0f);
    }
    // The first pass lies wholly on column 0, (1, 0): two triangles without
    // area. The last pass runs from column 3, (0, -1), back onto column 0.
    struct Column {
        int vertex;
        float x, y;
    };
    const Column columns[] = {{0, 1, 0},   {1, 1, 0},   {2, 1, 0},  {3, 1, 0},
                              {4, 1, 0},   {5, 1, 0},   {24, 0, -1}, {25, 0, -1},
                              {26, 1, 0},  {27, 1, 0},  {28, 0, -1}, {29, 1, 0}};
    for (const Column& c : columns) {
        EXPECT_NEAR(tube->vertices[c.vertex * 3], c.x, 1e-6f) << "vertex " << c.vertex;
        EXPECT_NEAR(tube->vertices[c.vertex * 3 + 1], c.y, 1e-6f) << "vertex " << c.vertex;
    }
    EXPECT_EQ(tube->texcoords[29 * 2 + 1], 0.0f);  // v back to 0
    std::unique_ptr<Mesh> inverted(create_cylinder(1.0f, 2.0f, 4, true));
    expect_vec3(at3(inverted->normals, 6), at3(tube->normals, 6) * -1.0f, 0.0f);
}

TEST(Mesh, IcosahedronLiesOnItsSphere) {
    std::unique_ptr<Mesh> ball(create_icosahedron(2.0f, 1, false));
    EXPECT_EQ(ball->vertex_count() / 3, 80);
    expect_vec3(at3(ball->vertices, 0), vec3(0, 0, 2), 1e-6f);
    expect_vec3(at3(ball->normals, 0), vec3(0, 0, 1), 1e-6f);
    EXPECT_NEAR(ball->texcoords[0], 2.5f, 1e-6f);
    EXPECT_NEAR(ball->texcoords[1], 2.5f, 1e-6f);
    for (int i = 0; i < ball->vertex_count(); ++i) {
        EXPECT_NEAR(at3(ball->vertices, i).length(), 2.0f, 1e-5f);
        expect_vec3(at3(ball->vertices, i) * 0.5f, at3(ball->normals, i), 1e-6f);
    }
    std::unique_ptr<Mesh> inverted(create_icosahedron(2.0f, 1, true));
    expect_vec3(at3(inverted->normals, 0), vec3(0, 0, -1), 1e-6f);
    EXPECT_EQ(inverted->vertices, ball->vertices);
}

TEST(Mesh, PlaneCarriesItsRepeatAtEachCorner) {
    std::unique_ptr<Mesh> plane(create_plane(4.0f, 2.0f, 3.0f));
    for (int i = 0; i < 6; ++i) {
        const vec3 p = at3(plane->vertices, i);
        EXPECT_EQ(std::fabs(p.x), 2.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(std::fabs(p.z), 1.0f);
        expect_vec3(at3(plane->normals, i), vec3(0, 1, 0), 0.0f);
        expect_vec3(at3(plane->tangents, i), vec3(1, 0, 0), 0.0f);
        if (p.x == 2.0f && p.z == 1.0f) {  // vertices 2 and 4
            EXPECT_EQ(plane->texcoords[i * 2], 3.0f);
            EXPECT_EQ(plane->texcoords[i * 2 + 1], 3.0f);
        }
    }
    EXPECT_EQ(plane->texcoords[2 * 2], 3.0f);
    EXPECT_EQ(plane->texcoords[4 * 2], 3.0f);
}

TEST(Mesh, SegmentMatrixStretchesTheUnitCylinderBetweenTheEnds) {
    struct Case {
        const char* what;
        vec3 from, to;
        vec3 base, tip;  // where (0,0,0) and (0,0,1) land
    };
    const Case cases[] = {
        {"oblique", {0, 0, 0}, {1, 2, 3}, {0, 0, 0}, {1, 2, 3}},
        {"horizontal: z nudged", {0, 0, 0}, {3, 0, 0}, {0, 0, 0}, {3, 0, 0.0001f}},
        {"zero length", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0.0001f}},
        {"straight up", {0, 0, 0}, {0, 0, 4}, {0, 0, 0}, {0, 0, 4}},
        // Mended: these three used to be drawn along +z.
        {"short horizontal", {0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0}, {0.5f, 0, 0.0001f}},
        {"short oblique", {0, 0, 0}, {0.01f, 0.005f, 0.002f}, {0, 0, 0}, {0.01f, 0.005f, 0.002f}},
        {"straight down", {0, 0, 0}, {0, 0, -5}, {0, 0, 0}, {0, 0, -5}},
        {"downward oblique", {0, 0, 0}, {2, -1, -3}, {0, 0, 0}, {2, -1, -3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mat4 m(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // overwritten whole
        segment_matrix(c.from, c.to, m);
        vec3 base(0, 0, 0), tip(0, 0, 1);
        m.transform_point(base);
        m.transform_point(tip);
        expect_vec3(base, c.base, 1e-5f);
        expect_vec3(tip, c.tip, 1e-4f);
    }
}

}  // namespace
