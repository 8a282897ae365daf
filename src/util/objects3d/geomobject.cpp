#include "util/objects3d/geomobject.h"

#include "system/fatal.h"

namespace {

// Writes `stride` floats of `source` at element `index` into `flat` at
// element `slot`, appending when `flat` is that long.
void copy_element(const std::vector<float>& source, int index, int stride,
                  std::vector<float>& flat, size_t slot) {
    for (int k = 0; k < stride; ++k) {
        const float value = source[static_cast<size_t>(index) * stride + k];
        const size_t at = slot * stride + k;
        if (at < flat.size())
            flat[at] = value;
        else
            flat.push_back(value);
    }
}

void copy_list(const std::vector<int>& indices, const std::vector<float>& source, int stride,
               std::vector<float>& flat) {
    if (stride <= 0) return;
    for (size_t i = 0; i < indices.size(); ++i) copy_element(source, indices[i], stride, flat, i);
}

}  // namespace

void GeomObject::check_mesh() const {
    FATAL_ASSERT(mesh_id >= 0);
    if (!mesh_ptr) FATAL_ERROR("mesh_ptr is NULL");
}

void GeomObject::copy_sources(bool append) {
    const Mesh& mesh = *mesh_ptr;
    const auto& positions = vertices_deformed.empty() ? mesh.vertices : vertices_deformed;
    const auto& normals = normals_deformed.empty() ? mesh.normals : normals_deformed;
    const auto& tangents = tangents_deformed.empty() ? mesh.tangents : tangents_deformed;
    if (append) {
        vbo_vertices.clear();
        vbo_normals.clear();
        vbo_tangents.clear();
        vbo_texcoords.clear();
    }
    copy_list(ivertices, positions, mesh.vertices_stride, vbo_vertices);
    copy_list(inormals, normals, mesh.normals_stride, vbo_normals);
    copy_list(itangents, tangents, mesh.tangents_stride, vbo_tangents);
    copy_list(itexcoords, mesh.texcoords, mesh.texcoords_stride, vbo_texcoords);
}

void GeomObject::build_flat_lists() {
    check_mesh();
    copy_sources(true);
    vbo_indices.clear();
    for (size_t i = 0; i < ivertices.size(); ++i) vbo_indices.push_back(static_cast<unsigned>(i));
}

bool GeomObject::create_vbos() {
    build_flat_lists();
    vbos_created = true;
    return fill_buffers();
}

bool GeomObject::update_vbos() {
    check_mesh();
    if (!attributes_dirty && !indices_dirty) return true;  // every frame after the first
    copy_sources(false);
    return fill_buffers();
}

bool GeomObject::fill_buffers() {
    check_mesh();
    if (!attributes_dirty && !indices_dirty) return true;
    const Mesh& mesh = *mesh_ptr;
    struct Slot {
        uint32_t slot;
        int stride;
        const std::vector<float>* flat;
    };
    const Slot slots[] = {{GEOM_SLOT_POSITION, mesh.vertices_stride, &vbo_vertices},
                          {GEOM_SLOT_NORMAL, mesh.normals_stride, &vbo_normals},
                          {GEOM_SLOT_TANGENT, mesh.tangents_stride, &vbo_tangents},
                          {GEOM_SLOT_TEXCOORD, mesh.texcoords_stride, &vbo_texcoords}};
    std::vector<const std::vector<float>*> lists;
    std::vector<int> strides;
    for (const Slot& s : slots) {
        if (s.stride == 0) continue;
        lists.push_back(s.flat);
        strides.push_back(s.stride);
    }
    // The flat lists repeat a vertex for every triangle that shares it; the
    // renderer runs the vertex stage once per vertex it is given, so the
    // uploaded arrays hold each distinct vertex once and the indices pick
    // them. The triangles drawn are the same.
    welded.weld(lists, strides, vbo_indices);
    size_t list = 0;
    for (const Slot& s : slots) {
        if (s.stride == 0) continue;
        const std::vector<float>& values = welded.attributes[list++];
        draw_object.set_attribute(s.slot, static_cast<uint32_t>(s.stride), static_cast<uint32_t>(values.size()),
                                  values.data(), 0);
    }
    draw_object.set_indices(static_cast<uint32_t>(welded.indices.size()), welded.indices.data());
    attributes_dirty = false;
    indices_dirty = false;
    return true;
}

void GeomObject::draw() {
    if (!enabled) return;
    if (!vbos_created && !create_vbos()) FATAL_ERROR("Failed to create VBOs!");
    if (!update_vbos()) FATAL_ERROR("Failed to update VBOs!");
    draw_object.draw(GL_TRIANGLES);
}

void GeomObject::set_instance_matrices(const std::vector<mat4>& matrices) {
    num_instances = static_cast<int>(matrices.size());
    // mat4 is 16 packed floats, so the list is one float array.
    static_assert(sizeof(mat4) == 16 * sizeof(float), "mat4 must be 16 packed floats");
    draw_object.set_instanced_matrices(GEOM_SLOT_INSTANCE_MATRIX,
                                       static_cast<uint32_t>(16 * matrices.size()),
                                       matrices.empty() ? nullptr : matrices[0].data());
}

void GeomObject::set_instance_colors(const std::vector<vec4>& colors) {
    if (colors.size() != static_cast<size_t>(num_instances))
        FATAL_ERROR("Failed assert diffuseColors.size() == num_instances");
    draw_object.set_attribute(GEOM_SLOT_INSTANCE_COLOR, 4, static_cast<uint32_t>(4 * colors.size()),
                              colors.empty() ? nullptr : colors[0].data(), 1);
}
