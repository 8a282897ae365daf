#include "util/objects3d/geomobject.h"

#include "system/fatal.h"
#include "util/objects3d/explode.h"

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

const std::vector<float>& GeomObject::source_positions() const {
    return vertices_deformed.empty() ? mesh_ptr->vertices : vertices_deformed;
}

void GeomObject::copy_sources(bool append) {
    const Mesh& mesh = *mesh_ptr;
    const auto& positions = source_positions();
    const auto& normals = normals_deformed.empty() ? mesh.normals : normals_deformed;
    const auto& tangents = tangents_deformed.empty() ? mesh.tangents : tangents_deformed;
    if (append) {
        vbo_vertices.clear();
        vbo_normals.clear();
        vbo_tangents.clear();
        vbo_texcoords.clear();
    }
    if (explode) {
        FATAL_ASSERT(0 == ivertices.size() % 3);
        FATAL_ASSERT(3 == mesh_ptr->vertices_stride);
        explode_centre = explode_triangles(ivertices, positions, explode_factor, vbo_vertices);
    } else {
        copy_list(ivertices, positions, mesh.vertices_stride, vbo_vertices);
    }
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

int GeomObject::uploaded_index_count() const {
    return trimmed_index_count(vbo_indices.size(), {skipped_indices_start, skipped_indices_end});
}

void GeomObject::update_trim() {
    // Positions of their own may move every frame, so their range is taken
    // anew each time.
    if (!vertices_deformed.empty() || z_range_dirty) {
        z_min = 1.0e9f;
        z_max = -1.0e9f;
        measure_depth_range(source_positions(), mesh_ptr->vertices_stride, z_min, z_max);
        // A range taken over positions of the object's own goes stale when
        // they are dropped for the mesh's again.
        z_range_dirty = !vertices_deformed.empty();
    }
    FATAL_ASSERT(z_sorted);
    // One depth per triangle, or the search would read past the list.
    FATAL_ASSERT(triangle_depths.size() == ivertices.size() / 3);
    last_trim_start = trim_start;
    last_trim_end = trim_end;
    const TrimmedIndices trimmed = trim_by_depth(triangle_depths, z_min, z_max, trim_start, trim_end);
    if (static_cast<size_t>(trimmed.end) > ivertices.size())
        FATAL_ERROR("Failed assert skipped_indices_end <= ivertices.size()");
    if (static_cast<size_t>(trimmed.start) > ivertices.size())
        FATAL_ERROR("Failed assert skipped_indices_start <= ivertices.size()");
    last_skipped_start = trimmed.start;
    last_skipped_end = trimmed.end;
    if (trimmed.start != skipped_indices_start || trimmed.end != skipped_indices_end) indices_dirty = true;
    skipped_indices_start = trimmed.start;
    skipped_indices_end = trimmed.end;
}

bool GeomObject::prepare_update() {
    check_mesh();
    if (depth_trim) {
        // Unchanged fractions over positions that cannot have moved give the
        // same runs: nothing to compute.
        const bool unchanged = vertices_deformed.empty() && !z_range_dirty && trim_start == last_trim_start &&
                               trim_end == last_trim_end;
        if (!unchanged) update_trim();
    } else {
        // Trimming switched off draws the whole list again, and switched on
        // later computes its runs afresh.
        if (skipped_indices_start != 0 || skipped_indices_end != 0) indices_dirty = true;
        skipped_indices_start = 0;
        skipped_indices_end = 0;
        last_trim_start = -1.0f;
        last_trim_end = -50.0f;
    }
    if (!attributes_dirty && !indices_dirty) return false;  // every frame after the first
    if (attributes_dirty) copy_sources(false);
    return true;
}

bool GeomObject::update_vbos() {
    if (!prepare_update()) return true;
    return fill_buffers();
}

bool GeomObject::fill_buffers() {
    check_mesh();
    // The welded indices stand for the whole flat index list; trimming
    // uploads a run of them.
    const bool weld = attributes_dirty || welded.indices.size() != vbo_indices.size();
    if (!weld && !indices_dirty) return true;
    if (weld) {
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
        // The flat lists repeat a vertex for every triangle that shares it;
        // the renderer runs the vertex stage once per vertex it is given, so
        // the uploaded arrays hold each distinct vertex once and the indices
        // pick them. The triangles drawn are the same.
        welded.weld(lists, strides, vbo_indices);
        size_t list = 0;
        for (const Slot& s : slots) {
            if (s.stride == 0) continue;
            const std::vector<float>& values = welded.attributes[list++];
            draw_object.set_attribute(s.slot, static_cast<uint32_t>(s.stride),
                                      static_cast<uint32_t>(values.size()), values.data(), 0);
        }
    }
    // Trimming leaves a run off each end: the upload starts past the front
    // one and stops short of the back one.
    const uint32_t count = static_cast<uint32_t>(uploaded_index_count());
    draw_object.set_indices(count, count ? welded.indices.data() + skipped_indices_start : nullptr);
    attributes_dirty = false;
    indices_dirty = false;
    return true;
}

void GeomObject::draw() {
    if (!enabled) return;
    if (!vbos_created && !create_vbos()) FATAL_ERROR("Failed to create VBOs!");
    if (!update_vbos()) FATAL_ERROR("Failed to update VBOs!");
    // Trimmed down to nothing: an object without indices would draw all its
    // vertices instead.
    if (uploaded_index_count() == 0) return;
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
