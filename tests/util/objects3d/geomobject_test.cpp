#include "util/objects3d/geomobject.h"

#include <memory>
#include <numeric>
#include <string>

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

// Five flat triangles, triangle t lying at depth (z) t: a depth range of 0
// to 4 whose quarters fall exactly on triangle depths.
std::unique_ptr<Mesh> depth_strip() {
    auto mesh = std::make_unique<Mesh>();
    mesh->vertices_stride = 3;
    for (int t = 0; t < 5; ++t) {
        const float z = static_cast<float>(t);
        mesh->vertices.insert(mesh->vertices.end(), {0, 0, z, 1, 0, z, 0, 1, z});
    }
    return mesh;
}

// An object over the strip, sorted by depth, whose first upload is done.
void trimmed_and_uploaded(GeomObject& object, Mesh* strip, float trim_start, float trim_end) {
    identity_lists(object, strip);
    object.triangle_depths = {0, 1, 2, 3, 4};
    object.z_sorted = true;
    object.depth_trim = true;
    object.trim_start = trim_start;
    object.trim_end = trim_end;
    object.build_flat_lists();
    object.vbos_created = true;
    object.attributes_dirty = false;
    object.indices_dirty = false;
}

TEST(GeomObject, DepthTrimmingLeavesRunsOffBothEndsOfTheIndexList) {
    struct Case {
        const char* what;
        float trim_start, trim_end;
        int skipped_start, skipped_end, uploaded;
    };
    const Case cases[] = {
        {"both negative: off", -1.0f, -50.0f, 0, 0, 15},
        {"both 0: nothing to cut", 0.0f, 0.0f, 0, 0, 15},
        // Below depth 1 only triangle 0; triangle 1 sits on the cut and stays.
        {"start only", 0.25f, -50.0f, 3, 0, 12},
        // Not below depth 3: triangles 3 and 4.
        {"end only", -1.0f, 0.25f, 0, 6, 9},
        {"both", 0.5f, 0.125f, 6, 3, 6},
        // Below 3 at the front, not below 1 at the back: nothing between.
        {"both, overlapping", 0.75f, 0.75f, 9, 12, 0},
    };
    std::unique_ptr<Mesh> strip = depth_strip();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeomObject object;
        trimmed_and_uploaded(object, strip.get(), c.trim_start, c.trim_end);
        // Something to upload exactly when a run changed from the full list.
        EXPECT_EQ(object.prepare_update(), c.skipped_start + c.skipped_end > 0);
        EXPECT_EQ(object.skipped_indices_start, c.skipped_start);
        EXPECT_EQ(object.skipped_indices_end, c.skipped_end);
        EXPECT_EQ(object.uploaded_index_count(), c.uploaded);
    }
}

TEST(GeomObject, TrimmingUpdatesOnlyWhenTheFractionsOrPositionsChange) {
    std::unique_ptr<Mesh> strip = depth_strip();
    GeomObject object;
    trimmed_and_uploaded(object, strip.get(), 0.25f, -50.0f);
    ASSERT_TRUE(object.prepare_update());
    EXPECT_EQ(object.z_min, 0.0f);
    EXPECT_EQ(object.z_max, 4.0f);
    object.indices_dirty = false;  // uploaded

    // The same fractions again: nothing to upload, frame after frame.
    EXPECT_FALSE(object.prepare_update());
    EXPECT_FALSE(object.prepare_update());
    EXPECT_FALSE(object.indices_dirty);
    EXPECT_FALSE(object.attributes_dirty);
    EXPECT_EQ(object.skipped_indices_start, 3);

    object.trim_end = 0.25f;
    EXPECT_TRUE(object.prepare_update());
    EXPECT_EQ(object.skipped_indices_end, 6);
    object.indices_dirty = false;

    // Positions of the object's own are measured anew: twice as deep, the
    // same fractions cut at depths 2 and 6.
    object.vertices_deformed = strip->vertices;
    for (size_t i = 2; i < object.vertices_deformed.size(); i += 3) object.vertices_deformed[i] *= 2;
    EXPECT_TRUE(object.prepare_update());
    EXPECT_EQ(object.z_max, 8.0f);
    EXPECT_EQ(object.skipped_indices_start, 6);
    EXPECT_EQ(object.skipped_indices_end, 0);
    object.indices_dirty = false;
    // Dropped again, the mesh's own range counts.
    object.vertices_deformed.clear();
    EXPECT_TRUE(object.prepare_update());
    EXPECT_EQ(object.z_max, 4.0f);
    EXPECT_EQ(object.uploaded_index_count(), 6);
    object.indices_dirty = false;
    EXPECT_FALSE(object.prepare_update());

    // Switched off, the whole list is drawn again; switched back on with the
    // same fractions, the runs come back.
    object.depth_trim = false;
    EXPECT_TRUE(object.prepare_update());
    EXPECT_EQ(object.uploaded_index_count(), 15);
    object.indices_dirty = false;
    EXPECT_FALSE(object.prepare_update());
    object.depth_trim = true;
    EXPECT_TRUE(object.prepare_update());
    EXPECT_EQ(object.uploaded_index_count(), 6);
}

TEST(GeomObject, TrimmingAndExplodeRefuseWhatTheyCannotWorkOn) {
    std::unique_ptr<Mesh> strip = depth_strip();
    GeomObject unsorted;
    trimmed_and_uploaded(unsorted, strip.get(), 0.25f, -50.0f);
    unsorted.z_sorted = false;
    EXPECT_FATAL(unsorted.prepare_update(), "Failed assert z_sorted");
    GeomObject short_depths;
    trimmed_and_uploaded(short_depths, strip.get(), 0.25f, -50.0f);
    short_depths.triangle_depths.pop_back();
    EXPECT_FATAL(short_depths.prepare_update(),
                 "Failed assert triangle_depths.size() == ivertices.size() / 3");

    std::unique_ptr<Mesh> cube(create_cube(1.0f, false));
    GeomObject partial;
    identity_lists(partial, cube.get());
    partial.ivertices.pop_back();
    partial.explode = true;
    EXPECT_FATAL(partial.build_flat_lists(), "Failed assert 0 == ivertices.size() % 3");

    Mesh flat;  // positions of two floats
    flat.vertices_stride = 2;
    flat.vertices = {0, 0, 1, 0, 0, 1};
    GeomObject two_d;
    identity_lists(two_d, &flat);
    two_d.explode = true;
    EXPECT_FATAL(two_d.build_flat_lists(), "Failed assert 3 == mesh_ptr->vertices_stride");
}

TEST(GeomObject, ExplodeMovesEachTriangleAwayFromTheBoxCentre) {
    std::unique_ptr<Mesh> cube(create_cube(2.0f, false));
    GeomObject object;
    identity_lists(object, cube.get());
    // Positions of the object's own, off the origin: the box centre is (1, 2, 3).
    const float centre[3] = {1, 2, 3};
    object.vertices_deformed = cube->vertices;
    for (size_t i = 0; i < object.vertices_deformed.size(); ++i) object.vertices_deformed[i] += centre[i % 3];
    object.explode = true;
    object.explode_factor = 0.5f;
    object.build_flat_lists();

    auto expect_exploded = [&](float factor) {
        const std::vector<float>& source = object.vertices_deformed;
        ASSERT_EQ(object.vbo_vertices.size(), source.size());
        for (size_t v = 0; v < 36; ++v) {
            const size_t first = v / 3 * 3;  // the triangle's first vertex
            for (size_t i = 0; i < 3; ++i)
                EXPECT_FLOAT_EQ(object.vbo_vertices[3 * v + i],
                                source[3 * v + i] + factor * (source[3 * first + i] - centre[i]))
                    << "vertex " << v << " axis " << i;
        }
    };
    expect_exploded(0.5f);
    EXPECT_EQ(object.explode_centre.x, 1.0f);
    EXPECT_EQ(object.explode_centre.y, 2.0f);
    EXPECT_EQ(object.explode_centre.z, 3.0f);
    EXPECT_EQ(object.vbo_normals, cube->normals);
    EXPECT_EQ(object.vbo_texcoords, cube->texcoords);

    // A new factor reaches the flat lists with the next upload of the attributes.
    object.vbos_created = true;
    object.attributes_dirty = false;
    object.indices_dirty = false;
    object.explode_factor = 2.0f;
    EXPECT_FALSE(object.prepare_update());
    object.attributes_dirty = true;
    EXPECT_TRUE(object.prepare_update());
    expect_exploded(2.0f);
    EXPECT_EQ(object.vbo_normals, cube->normals);
}

}  // namespace
