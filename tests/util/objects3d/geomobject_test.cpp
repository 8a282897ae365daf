#include "util/objects3d/geomobject.h"

#include <memory>
#include <numeric>

#include "support/test_support.h"

namespace {

// What the scene graph does when it registers a mesh: identity index lists.
void identity_lists(GeomObject& object, Mesh* mesh) {
    object.mesh_id = 0;
    object.mesh_ptr = mesh;
    auto fill = [](std::vector<int>& list, const std::vector<float>& values, int stride) {
        if (stride == 0) return;
        list.resize(values.size() / stride);
        std::iota(list.begin(), list.end(), 0);
    };
    fill(object.ivertices, mesh->vertices, mesh->vertices_stride);
    fill(object.inormals, mesh->normals, mesh->normals_stride);
    fill(object.itangents, mesh->tangents, mesh->tangents_stride);
    fill(object.itexcoords, mesh->texcoords, mesh->texcoords_stride);
}

TEST(GeomObject, FlatListsCopyTheMeshThroughItsIndexLists) {
    std::unique_ptr<Mesh> cube(create_cube(1.0f, false));
    GeomObject object;
    identity_lists(object, cube.get());
    object.build_flat_lists();
    EXPECT_EQ(object.vbo_vertices, cube->vertices);
    EXPECT_EQ(object.vbo_vertices.size(), 108u);
    EXPECT_EQ(object.vbo_normals.size(), 108u);
    EXPECT_EQ(object.vbo_texcoords.size(), 72u);
    EXPECT_TRUE(object.vbo_tangents.empty());
    ASSERT_EQ(object.vbo_indices.size(), 36u);
    for (unsigned i = 0; i < 36; ++i) EXPECT_EQ(object.vbo_indices[i], i);

    std::unique_ptr<Mesh> plane(create_plane(1, 1, 1));
    GeomObject flat;
    identity_lists(flat, plane.get());
    flat.build_flat_lists();
    EXPECT_EQ(flat.vbo_tangents.size(), 18u);
}

TEST(GeomObject, DeformedPositionsReplaceTheMeshs) {
    std::unique_ptr<Mesh> plane(create_plane(2, 2, 1));
    GeomObject object;
    identity_lists(object, plane.get());
    object.vertices_deformed.assign(18, 7.0f);
    object.ivertices = {5, 0};  // any mapping, not just the identity
    object.build_flat_lists();
    EXPECT_EQ(object.vbo_vertices, std::vector<float>(6, 7.0f));
    EXPECT_EQ(object.vbo_indices, (std::vector<unsigned>{0, 1}));
}

TEST(GeomObject, ObjectWithoutMeshEndsTheRun) {
    GeomObject object;
    EXPECT_FATAL(object.build_flat_lists(), "Failed assert mesh_id >= 0");
    object.mesh_id = 0;
    EXPECT_FATAL(object.build_flat_lists(), "mesh_ptr is NULL");
}

TEST(GeomObject, DisabledObjectDrawsAndUploadsNothing) {
    std::unique_ptr<Mesh> cube(create_cube(1.0f, false));
    GeomObject object;
    identity_lists(object, cube.get());
    object.enabled = false;
    object.draw();  // no GL context here: anything it touched would crash
    EXPECT_FALSE(object.vbos_created);
    EXPECT_TRUE(object.vbo_vertices.empty());
}

}  // namespace
