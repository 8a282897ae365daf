// One drawable piece of a scene graph: a mesh paired with a material index,
// plus the GPU side of that mesh. The mesh is expanded once through
// per-attribute index lists into flat vertex arrays and uploaded on the
// first draw (each distinct vertex once, picked by an index list); after
// that each draw uploads only the per-instance data set before it (one
// model-view matrix and optionally one colour per instance) and issues one
// instanced draw.
//
// Two effects reshape what is uploaded, both off unless switched on: depth
// trimming draws only the triangles within a window of the object's depth
// range (the caller sorts the index lists by depth and gives one depth per
// triangle), and explode pushes every triangle away from the object's
// centre. Their arithmetic is GL-free (depthtrim.h, explode.h).
//
// Vertex-array slots: position 0, normal 1, texture coordinate 2, tangent 3,
// instance colour 4, instance matrix 8..11.
#pragma once

#include <string>
#include <vector>

#include "util/easydraw/easydrawcustom.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/objects3d/depthtrim.h"
#include "util/objects3d/mesh.h"
#include "util/objects3d/vertexweld.h"

enum GeomObjectSlot : uint32_t {
    GEOM_SLOT_POSITION = 0,
    GEOM_SLOT_NORMAL = 1,
    GEOM_SLOT_TEXCOORD = 2,
    GEOM_SLOT_TANGENT = 3,
    GEOM_SLOT_INSTANCE_COLOR = 4,
    GEOM_SLOT_INSTANCE_MATRIX = 8,
};

class GeomObject {
public:
    GeomObject() = default;
    GeomObject(const GeomObject&) = delete;
    GeomObject& operator=(const GeomObject&) = delete;

    // Uploads the geometry on the first call, then draws triangles once per
    // instance matrix set last. Does nothing while disabled.
    void draw();
    // Builds the flat lists and uploads them; true on success.
    bool create_vbos();
    // Trims, copies and uploads what is dirty; true on success.
    bool update_vbos();
    // The GL-free part of update_vbos: the trimming update and the copy of
    // dirty sources into the flat lists. True when fill_buffers has
    // something to upload.
    bool prepare_update();
    // Hands the dirty flat lists to the vertex-array object; always true.
    bool fill_buffers();
    // Appends one group of floats per index-list entry to the flat lists
    // (no GL); positions exploded when explode is on.
    void build_flat_lists();
    // Indices the draw uses: the list less what trimming leaves off its ends.
    int uploaded_index_count() const;

    // One model-view matrix per instance.
    void set_instance_matrices(const std::vector<mat4>& matrices);
    // One colour per instance, as many as the last matrices.
    void set_instance_colors(const std::vector<vec4>& colors);

    bool enabled = true;
    std::string name;
    // Per output vertex, the index of its element in each mesh list.
    std::vector<int> ivertices;
    std::vector<int> inormals;
    std::vector<int> itangents;
    std::vector<int> itexcoords;
    int mesh_id = -1;
    int material_id = 0;
    bool textured = false;  // the material has a diffuse map and the mesh texcoords
    Mesh* mesh_ptr = nullptr;  // borrowed
    // Replace the mesh's positions, normals and tangents when not empty.
    std::vector<float> vertices_deformed;
    std::vector<float> normals_deformed;
    std::vector<float> tangents_deformed;

    std::vector<float> vbo_vertices;
    std::vector<float> vbo_normals;
    std::vector<float> vbo_tangents;
    std::vector<float> vbo_texcoords;
    std::vector<unsigned> vbo_indices;
    EasyDrawObject draw_object;
    bool attributes_dirty = true;
    bool vbos_created = false;
    bool indices_dirty = true;
    int num_instances = 0;

    // Depth trimming. The caller sorts the index lists so that triangle i
    // lies at depth triangle_depths[i], ascending, sets z_sorted and
    // switches depth_trim on; trim_start and trim_end (fractions of the
    // depth range, negative for off) then pick the triangles drawn.
    int skipped_indices_start = 0;  // indices left off the front of the uploaded list
    int skipped_indices_end = 0;    // indices left off its back
    bool depth_trim = false;
    std::vector<float> triangle_depths;
    float trim_start = -1.0f;
    float trim_end = -50.0f;
    float z_min = 1.0e9f;  // depth range of the source positions
    float z_max = -1.0e9f;
    float last_trim_start = -1.0f;  // the fractions of the last trimming update
    float last_trim_end = -50.0f;
    int last_skipped_start = 0;  // and its results
    int last_skipped_end = 0;
    bool z_range_dirty = true;  // set when the positions change: measure the range again
    bool z_sorted = false;

    // Explode: each triangle moved by explode_factor x (its first vertex -
    // explode_centre); a change takes effect with the next upload of the
    // attributes (set attributes_dirty).
    bool explode = false;
    float explode_factor = 1.0f;
    vec3 explode_centre;  // centre of the source positions' bounding box

private:
    void check_mesh() const;
    // Copies (append) or overwrites (not append) the flat lists from the
    // current sources.
    void copy_sources(bool append);
    // Recomputes the trimmed runs when the fractions or the positions may
    // have changed; a changed run marks the indices for upload.
    void update_trim();
    const std::vector<float>& source_positions() const;

    // What was last uploaded: the flat lists with shared vertices.
    VertexWeld welded;
};
