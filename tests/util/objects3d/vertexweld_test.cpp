// Sharing the vertices of the meshes' triangle lists: the welded arrays and
// indices describe exactly the triangles of the flat lists, with each
// distinct vertex stored once.
#include "util/objects3d/vertexweld.h"

#include <memory>
#include <numeric>

#include "support/test_support.h"
#include "util/objects3d/mesh.h"

namespace {

std::vector<uint32_t> identity(size_t n) {
    std::vector<uint32_t> list(n);
    std::iota(list.begin(), list.end(), 0u);
    return list;
}

// The floats of attribute `a` of index-list entry i, welded or flat.
std::vector<float> welded_vertex(const VertexWeld& w, size_t a, int stride, size_t i) {
    const float* p = w.attributes[a].data() + static_cast<size_t>(w.indices[i]) * stride;
    return std::vector<float>(p, p + stride);
}

TEST(VertexWeld, MeshesKeepEveryTriangleFromFewerVertices) {
    const struct {
        const char* name;
        std::unique_ptr<Mesh> mesh;
        size_t at_most;  // distinct vertices
    } cases[] = {
        {"icosahedron", create_icosahedron(0.2f, 3, false), 3840 / 4},
        {"cylinder", create_cylinder(0.01f, 1.0f, 8, false), 54 / 2},
        {"cube", create_cube(1.0f, false), 24},
        {"plane", create_plane(15, 15, 1), 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mesh* mesh = c.mesh.get();
        std::vector<const std::vector<float>*> lists;
        std::vector<int> strides;
        for (auto [list, stride] : {std::pair{&mesh->vertices, mesh->vertices_stride},
                                    {&mesh->normals, mesh->normals_stride},
                                    {&mesh->tangents, mesh->tangents_stride},
                                    {&mesh->texcoords, mesh->texcoords_stride}})
            if (stride) {
                lists.push_back(list);
                strides.push_back(stride);
            }
        const size_t n = static_cast<size_t>(mesh->vertex_count());
        VertexWeld w;
        w.weld(lists, strides, identity(n));
        ASSERT_EQ(w.indices.size(), n);
        ASSERT_EQ(w.attributes.size(), lists.size());
        const size_t distinct = w.attributes[0].size() / strides[0];
        EXPECT_LE(distinct, c.at_most);
        for (size_t a = 0; a < lists.size(); ++a) {
            EXPECT_EQ(w.attributes[a].size(), distinct * strides[a]);
            for (size_t i = 0; i < n; ++i) {
                ASSERT_LT(w.indices[i], distinct);
                const float* flat = lists[a]->data() + i * strides[a];
                ASSERT_EQ(welded_vertex(w, a, strides[a], i), std::vector<float>(flat, flat + strides[a]))
                    << "attribute " << a << " vertex " << i;
            }
        }
    }
}

TEST(VertexWeld, VerticesDifferingInAnyAttributeStaySeparate) {
    // Three vertices at one position: two alike, one with another normal.
    const std::vector<float> positions = {1, 2, 3, 1, 2, 3, 1, 2, 3};
    const std::vector<float> normals = {0, 0, 1, 0, 0, 1, 0, 1, 0};
    VertexWeld w;
    w.weld({&positions, &normals}, {3, 3}, {2, 1, 0, 1});
    EXPECT_EQ(w.attributes[0], (std::vector<float>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(w.attributes[1], (std::vector<float>{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(w.indices, (std::vector<uint32_t>{1, 0, 0, 0}));
}

TEST(VertexWeld, IndicesPastTheVerticesStayPast) {
    const std::vector<float> positions = {0, 0, 0, 0, 0, 0};
    VertexWeld w;
    w.weld({&positions}, {3}, {0, 1, 2, 5});
    EXPECT_EQ(w.attributes[0].size(), 3u);
    EXPECT_EQ(w.indices, (std::vector<uint32_t>{0, 0, 1, 4}));

    VertexWeld none;
    none.weld({}, {}, {0, 1});
    EXPECT_TRUE(none.attributes.empty());
    EXPECT_EQ(none.indices, (std::vector<uint32_t>{0, 1}));
}

}  // namespace
