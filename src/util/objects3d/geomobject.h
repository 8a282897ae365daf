// One drawable piece of a scene graph: a mesh paired with a material index,
// plus the GPU side of that mesh. The mesh is expanded once through
// per-attribute index lists into flat vertex arrays and uploaded on the
// first draw (each distinct vertex once, picked by an index list); after
// that each draw uploads only the per-instance data set before it (one
// model-view matrix and optionally one colour per instance) and issues one
// instanced draw.
//
// Vertex-array slots: position 0, normal 1, texture coordinate 2, tangent 3,
// instance colour 4, instance matrix 8..11.
#pragma once

#include <string>
#include <vector>

#include "util/easydraw/easydrawcustom.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"
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
    // Copies and uploads what is dirty; true on success.
    bool update_vbos();
    // Hands the dirty flat lists to the vertex-array object; always true.
    bool fill_buffers();
    // Appends one group of floats per index-list entry to the flat lists
    // (no GL).
    void build_flat_lists();

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

private:
    void check_mesh() const;
    // Copies (append) or overwrites (not append) the flat lists from the
    // current sources.
    void copy_sources(bool append);

    // What was last uploaded: the flat lists with shared vertices.
    VertexWeld welded;
};
