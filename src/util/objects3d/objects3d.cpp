#include "util/objects3d/objects3d.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "system/fatal.h"
#include "util/camera/camera.h"
#include "util/easydraw/easydraw.h"
#include "util/context_cache.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

ShaderProgram& objects3d_blur_shader() {
    return ContextCache::get([] { return std::make_unique<ShaderProgram>(make_shader_blur("Objects3DBlur")); });
}
ShaderProgram& objects3d_shader() {
    return ContextCache::get([] { return std::make_unique<ShaderProgram>(make_shader_color3d("Objects3D")); });
}
ShaderProgram& objects3d_dof_shader() {
    return ContextCache::get([] {
        return std::make_unique<ShaderProgram>("data/util/objects3d/shaders/dof.vert",
                                               "data/util/objects3d/shaders/dof.frag");
    });
}
const mat4 unit_square_projection(mat4::PRESET_UNIT_SQUARE);

namespace {

constexpr float kFarAway = 999999.0f;
constexpr int kDefaultTargetSize = 512;

void grow_box(const vec3& p, vec3& min, vec3& max) {
    for (int i = 0; i < 3; ++i) {
        if (min[i] > p[i]) min[i] = p[i];
        if (max[i] < p[i]) max[i] = p[i];
    }
}

void empty_box(vec3& min, vec3& max) {
    min.set(kFarAway, kFarAway, kFarAway);
    max.set(-kFarAway, -kFarAway, -kFarAway);
}

template <typename T>
int index_of(const std::vector<T*>& list, const T* item) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == item) return static_cast<int>(i);
    return -1;
}

// Identity index list over the elements of one mesh attribute.
void fill_identity(std::vector<int>& list, const std::vector<float>& values, int stride) {
    if (stride == 0) return;
    const int count = static_cast<int>(values.size()) / stride;
    for (int i = 0; i < count; ++i) list.push_back(i);
}

// Whether a matrix keeps the winding of what it places (its 3 x 3 part has a
// positive determinant) rather than mirroring it.
bool keeps_winding(const mat4& m) {
    const float* a = m.data();
    const float det = a[0] * (a[5] * a[10] - a[6] * a[9]) - a[4] * (a[1] * a[10] - a[2] * a[9]) +
                      a[8] * (a[1] * a[6] - a[2] * a[5]);
    return det > 0.0f;
}

// Back faces of a closed opaque mesh are hidden by its own front faces, so
// the passes that show the picture need not rasterize them: the plain and
// glow passes, and the shadow pipeline's ambient and lit passes when the
// graph does not cull faces itself (`graph_culls`; the depth passes into the
// light's faces draw as before).
// Not when explode or depth trimming open the mesh up, and not for a
// mirrored node or instance, whose front faces wind the other way.
bool culls_back_faces(const GeomObject& object, const Material& material, int draw_mode, bool mirror,
                      bool graph_culls, const std::vector<mat4>& matrices) {
    if (!object.mesh_ptr || !object.mesh_ptr->closed || material.is_transparent() || mirror || object.explode ||
        object.depth_trim)
        return false;
    const bool shown = draw_mode == DRAW_MODE_NORMAL || draw_mode == DRAW_MODE_GLOW ||
                       (!graph_culls && (draw_mode == DRAW_MODE_SHADOW_AMBIENT || draw_mode == DRAW_MODE_SHADOW_LIGHTING));
    if (!shown) return false;
    for (const mat4& m : matrices)
        if (!keeps_winding(m)) return false;
    return true;
}

}  // namespace

bool combine_instances(const std::vector<mat4>& incoming, const std::vector<mat4>& node,
                       std::vector<mat4>& out) {
    const size_t m = incoming.size(), n = node.size();
    if (n > 1 && m > 1 && n != m) return false;
    const size_t count = n > m ? n : m;
    std::vector<mat4> result;
    result.reserve(count);
    for (size_t i = 0; i < count; ++i)
        result.push_back(incoming[m == 1 ? 0 : i] * node[n == 1 ? 0 : i]);
    out.swap(result);
    return true;
}

void Node::reset() {
    modelViewMatrices.push_back(mat4());
    mirrored = false;
    visible = true;
    enabled = true;
    this_index = -1;
}

Objects3D::Objects3D() {
    // The first graph makes the shared programs, so that a missing file ends
    // the run while loading.
    objects3d_blur_shader();
    objects3d_shader();
    objects3d_dof_shader();
    // The graphs' own programs are built when a pass first draws with them,
    // deep into the show; compiling every piece once here ends the run with
    // a damaged one while loading.
    ContextCache::get([this] {
        render_context.pieces.compile_every_piece();
        return std::make_unique<bool>(true);
    });
}

Objects3D::~Objects3D() = default;

Node* Objects3D::add(Mesh* mesh, Material* material, Node* parent) {
    GeomObject* temp_object = add_geom_object(mesh, material);
    if (!temp_object) FATAL_ERROR("temp_object is NULL");
    return add_node(temp_object, parent);
}

GeomObject* Objects3D::add_geom_object(Mesh* mesh, Material* material) {
    // The shape builders return null for bad counts and callers pass that on.
    if (!mesh || !material) return nullptr;
    auto made = std::make_unique<GeomObject>();
    GeomObject* object = made.get();
    object->mesh_id = index_of(meshes, mesh);
    if (object->mesh_id < 0) {
        meshes.push_back(mesh);
        object->mesh_id = static_cast<int>(meshes.size()) - 1;
    }
    object->mesh_ptr = mesh;
    object->material_id = index_of(materials, material);
    if (object->material_id < 0) {
        materials.push_back(material);
        object->material_id = static_cast<int>(materials.size()) - 1;
    }
    fill_identity(object->ivertices, mesh->vertices, mesh->vertices_stride);
    fill_identity(object->inormals, mesh->normals, mesh->normals_stride);
    fill_identity(object->itangents, mesh->tangents, mesh->tangents_stride);
    fill_identity(object->itexcoords, mesh->texcoords, mesh->texcoords_stride);
    object->textured = material->diffuse_map && mesh->texcoords_stride != 0;
    geom_objects.push_back(std::move(made));
    return object;
}

Node* Objects3D::add_node(GeomObject* object, Node* parent) {
    if (!master_node) {
        nodes.push_back(std::make_unique<Node>());
        master_node = nodes.back().get();
        master_node->this_index = 0;
        master_node->name = "Master node";
    }
    if (!parent) parent = master_node;
    int object_index = -1;
    for (size_t i = 0; i < geom_objects.size(); ++i)
        if (geom_objects[i].get() == object) object_index = static_cast<int>(i);
    if (object_index < 0) {
        geom_objects.emplace_back(object);
        object_index = static_cast<int>(geom_objects.size()) - 1;
    }
    nodes.push_back(std::make_unique<Node>(parent->this_index));
    Node* node = nodes.back().get();
    node->objects.push_back(object_index);
    node->this_index = static_cast<int>(nodes.size()) - 1;
    parent->children.push_back(node->this_index);
    return node;
}

void Objects3D::set_camera(unsigned index) {
    cur_cam = index < cameras.size() ? static_cast<int>(index) : -1;
}

void Objects3D::set_shadows(bool on) {
    shadows = on;
    for (Light* light : lights) light->set_shadows(shadows);
}

void Objects3D::resize(int w, int h, float a) {
    width = w;
    height = h;
    aspect = a;
    for (Objects3D* child : child_scenes) child->resize(width, height, aspect);
    for (Light* light : lights) light->resize(width, height);
    if (glow_fbo) glow_fbo->resize(width, height);
    if (dof_fbo) dof_fbo->resize(width, height);
}

void Objects3D::get_node_matrices(int node_index, std::vector<mat4>& finalmats) {
    FATAL_ASSERT(nodes.size() > 0);
    if (finalmats.empty()) finalmats.push_back(mat4());
    std::vector<const std::vector<mat4>*> chain;
    for (int i = node_index; i != -1; i = nodes[i]->parent) {
        const Node* tempnode = nodes[i].get();
        FATAL_ASSERT(tempnode->modelViewMatrices.size() > 0);
        chain.push_back(&tempnode->modelViewMatrices);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const std::vector<mat4>* matset = *it;
        FATAL_ASSERT(matset->size() > 0 && finalmats.size() > 0);
        const size_t m = finalmats.size(), n = matset->size();
        if (!combine_instances(finalmats, *matset, finalmats))
            FATAL_ERROR("Conflicting amount of instances: " << m
                                                            << "incoming matrices, this node has " << n);
    }
}

bool Objects3D::walk_bounds(Node* node, const char* name, vec3& min, vec3& max, bool take) {
    // A matching node adds its whole subtree; others are only searched.
    if (!take && std::strcmp(name, node->name.c_str()) == 0) take = true;
    bool matched = take;
    if (take) {
        std::vector<mat4> world;
        get_node_matrices(node->this_index, world);
        for (int index : node->objects) {
            const GeomObject* obj = geom_objects[index].get();
            if (!obj->mesh_ptr) FATAL_ERROR("obj->mesh_ptr is NULL");
            const std::vector<float>& positions =
                obj->vertices_deformed.empty() ? obj->mesh_ptr->vertices : obj->vertices_deformed;
            for (int k : obj->ivertices) {
                for (const mat4& m : world) {
                    vec3 p(positions[3 * k], positions[3 * k + 1], positions[3 * k + 2]);
                    m.transform_point(p);
                    grow_box(p, min, max);
                }
            }
        }
    }
    for (int child : node->children)
        if (walk_bounds(nodes[child].get(), name, min, max, take)) matched = true;
    return matched;
}

void Objects3D::get_node_bounds(const char* name, vec3& min, vec3& max, bool include_children) {
    const bool all = !name || name[0] == '\0';
    empty_box(min, max);
    // A graph without a root has nothing to measure: the whole graph is the
    // empty box, and no node can be found by name.
    bool found = master_node ? walk_bounds(master_node, name, min, max, all) : all;
    if (include_children) {
        for (Objects3D* child : child_scenes) {
            vec3 child_min, child_max;
            empty_box(child_min, child_max);
            if (child->master_node &&
                child->walk_bounds(child->master_node, name, child_min, child_max, all))
                found = true;
            for (int i = 0; i < 3; ++i) {
                if (child_min[i] < min[i]) min[i] = child_min[i];
                if (child_max[i] > max[i]) max[i] = child_max[i];
            }
        }
    }
    if (!found) FATAL_ERROR("Couldn't find node " << (name ? name : ""));
}

float Objects3D::get_node_size(const char* name) {
    vec3 min, max;
    get_node_bounds(name, min, max, true);
    return (max - min).length();
}

Camera* Objects3D::current_camera() const {
    // A child graph draws through its owner's camera; one whose owner has
    // no such camera ends the run instead of reading past the list.
    if (owner->cur_cam < 0 || owner->cur_cam >= static_cast<int>(owner->cameras.size()))
        FATAL_ERROR("cur_cam " << owner->cur_cam << " out of range for " << owner->cameras.size()
                               << " cameras!");
    return owner->cameras[static_cast<size_t>(owner->cur_cam)];
}

std::unique_ptr<FBO> Objects3D::make_target(int type) const {
    // A new FBO leaves frame buffer 0 bound, but the targets are made in the
    // middle of drawing into the caller's target, which must stay bound.
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    auto target = std::make_unique<FBO>(width < 1 ? kDefaultTargetSize : width,
                                        height < 1 ? kDefaultTargetSize : height, type, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
    return target;
}

ViewportRect Objects3D::sharp_area(const ViewportRect& box) const {
    // The composite's taps, and their bilinear neighbours.
    const int reach = static_cast<int>(std::ceil(kDofReach * static_cast<float>(height))) + 2;
    const int x0 = std::max(0, box.x - reach), y0 = std::max(0, box.y - reach);
    const int x1 = std::min(width, box.x + box.width + reach);
    const int y1 = std::min(height, box.y + box.height + reach);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

void Objects3D::draw() {
    render_context.reset();
    if (!master_node) return;
    // A transparent material drawn last (here or by another graph) leaves
    // depth writes off, and the clears below would then keep stale depths.
    glDepthMask(GL_TRUE);
    // A caller that scissors its target reads the picture only there: the
    // depth-of-field target is then drawn only where the composite reads it
    // (the box and the blur's reach around it), when it matches the
    // caller's target pixel for pixel; else whole. It is cleared whole
    // either way: the renderer clears a whole target faster than a part.
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    GLint caller_box[4] = {0, 0, 0, 0};
    if (scissored) glGetIntegerv(GL_SCISSOR_BOX, caller_box);
    float cleared[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    if (dof) {
        if (!dof_fbo) dof_fbo = make_target(FBO_TYPE_DEPTH_TEXTURE);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, cleared);
        if (scissored) {
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            const bool same_grid = viewport[0] == 0 && viewport[1] == 0 && viewport[2] == dof_fbo->get_width() &&
                                   viewport[3] == dof_fbo->get_height() && width == dof_fbo->get_width() &&
                                   height == dof_fbo->get_height();
            glDisable(GL_SCISSOR_TEST);
            dof_fbo->push(true);
            if (same_grid) {
                const ViewportRect sharp =
                    sharp_area({caller_box[0], caller_box[1], caller_box[2], caller_box[3]});
                glEnable(GL_SCISSOR_TEST);
                glScissor(sharp.x, sharp.y, sharp.width, sharp.height);
            }
        } else {
            dof_fbo->push(true);
        }
    }
    if (cur_cam < 0 || cur_cam >= static_cast<int>(cameras.size()))
        FATAL_ERROR("cur_cam " << cur_cam << " out of range for " << cameras.size() << " cameras!");
    Camera* camera = cameras[cur_cam];
    camera->setup(width, height, aspect, 1.0f);
    ViewportRect camera_viewport;
    if (dof) {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        camera_viewport = {viewport[0], viewport[1], viewport[2], viewport[3]};
    }

    if (glow) {
        // The glow image is blurred over the picture: drawn whole.
        const bool scissor_on = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
        glDisable(GL_SCISSOR_TEST);
        if (!glow_fbo) glow_fbo = make_target(FBO_TYPE_RGBA8);
        glow_fbo->push(true);
        render_context.clear_lights();
        draw_roots({camera->get_view_matrix()}, DRAW_MODE_GLOW);
        glow_fbo->pop();
        if (scissor_on) glEnable(GL_SCISSOR_TEST);
    }
    measuring_drawn = dof && !glow && !draw_lights && !draw_bounds && child_scenes.empty();
    drawn = DrawnArea();
    drawn.everywhere = !measuring_drawn;
    if (shadows && !lights.empty())
        draw_shadowed();
    else
        draw_plain();
    measuring_drawn = false;
    if (draw_lights) draw_light_markers(light_marker_size);
    if (draw_bounds) draw_debug_bounds(nullptr);

    if (glow && glow_fbo) {
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        ShaderProgram& blur = objects3d_blur_shader();
        blur.bind();
        blur.set_uniform_matrix4fv("ProjectionMatrix", unit_square_projection.data(), 1, false);
        glow_fbo->draw();
        glPopAttrib();
    }
    if (dof) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        dof_fbo->pop();
        if (scissored) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(caller_box[0], caller_box[1], caller_box[2], caller_box[3]);
        }
        composite_dof(*camera, camera_viewport, cleared);
    }
    glDepthMask(GL_TRUE);
}

void Objects3D::composite_dof(const Camera& camera, const ViewportRect& camera_viewport, const float cleared[4]) {
    ShaderProgram& program = objects3d_dof_shader();
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", unit_square_projection.data(), 1, false);
    program.set_uniform1i("tex_sharp", 0);
    program.set_uniform1i("tex_depth", 1);
    const float zn = camera.get_znear(), zf = camera.get_zfar();
    program.set_uniform1f("focus_point", zn + camera.get_focus_point() * (zf - zn));
    program.set_uniform1f("focus_range", camera.get_focus_range() * (zf - zn));
    program.set_uniform1f("focus_falloff", camera.get_focus_falloff() * (zf - zn));
    program.set_uniform1f("zNear", zn);
    program.set_uniform1f("zFar", zf);
    dof_fbo->bind_depth_texture(1);

    const int w = dof_fbo->get_width(), h = dof_fbo->get_height();
    // The pixels that can differ from the cleared colour: those drawn and
    // those whose blur reads them (the taps and their bilinear neighbours).
    const int reach = static_cast<int>(std::ceil(kDofReach * static_cast<float>(h))) + 2;
    const ViewportRect read = drawn_pixels(drawn, camera_viewport, w, h, reach);
    if (read.x == 0 && read.y == 0 && read.width == w && read.height == h) {
        dof_fbo->draw();
        return;
    }
    // Elsewhere every tap reads the cleared colour and the composite would
    // copy it: a clear gives the same pixels.
    GLint viewport[4], box[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    const ViewportRect caller{viewport[0], viewport[1], viewport[2], viewport[3]};
    const ViewportRect reached = scissored ? intersect(caller, {box[0], box[1], box[2], box[3]}) : caller;
    const ViewportRect composite = intersect(reached, texture_rect_onto(read, w, h, caller));
    GLfloat clear_colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
    glClearColor(cleared[0], cleared[1], cleared[2], cleared[3]);
    glEnable(GL_SCISSOR_TEST);
    for (const ViewportRect& part : rects_outside(reached, composite)) {
        glScissor(part.x, part.y, part.width, part.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glClearColor(clear_colour[0], clear_colour[1], clear_colour[2], clear_colour[3]);
    if (composite.width > 0 && composite.height > 0) {
        glScissor(composite.x, composite.y, composite.width, composite.height);
        dof_fbo->draw();
    }
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissored) glDisable(GL_SCISSOR_TEST);
}

void Objects3D::draw_roots(const std::vector<mat4>& incoming, int draw_mode) {
    draw_node(master_node, incoming, master_node->mirrored, draw_mode);
    for (Objects3D* child : child_scenes)
        if (child->master_node)
            child->draw_node(child->master_node, incoming, child->master_node->mirrored, draw_mode);
}

void Objects3D::draw_plain() {
    if (lights.empty())
        render_context.clear_lights();
    else
        render_context.set_lights(lights);
    draw_roots({current_camera()->get_view_matrix()}, DRAW_MODE_NORMAL);
}

bool Objects3D::all_opaque() const {
    auto opaque = [](const Objects3D& graph) {
        for (const Material* m : graph.materials) {
            if (m->offset(m->diffuse).a < 1.0f) return false;
            // Per-instance colours reach the shaders as they are.
            for (const vec4& colour : m->diffuseColors)
                if (colour.a < 1.0f) return false;
        }
        return true;
    };
    if (!opaque(*this)) return false;
    for (const Objects3D* child : child_scenes)
        if (!opaque(*child)) return false;
    return true;
}

bool Objects3D::ambient_below_target_step() const {
    // Only a target of unsigned 8-bit (or fewer) channels, written linearly,
    // rounds a small colour to nothing; a float or sRGB one keeps it.
    GLint bits[3] = {0, 0, 0};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    if (glIsEnabled(GL_FRAMEBUFFER_SRGB)) return false;
    for (GLint b : bits)
        if (b < 1 || b > 8) return false;
    const int widest = std::max({bits[0], bits[1], bits[2]});
    const float half_step = 0.5f / static_cast<float>((1 << widest) - 1);
    const vec4 global = render_context.GlobalAmbient;
    auto dark = [&](const Objects3D& graph) {
        for (const Material* m : graph.materials) {
            // An emission map's texels are not known here.
            if (m->emission_map) return false;
            const vec4 ambient = m->offset(m->ambient), emission = m->offset(m->emission);
            // A diffuse map scales the ambient colour by at most 1.
            for (int c = 0; c < 3; ++c)
                if (!(std::max(global[c] * ambient[c], 0.0f) + emission[c] < half_step)) return false;
        }
        return true;
    };
    if (!dark(*this)) return false;
    for (const Objects3D* child : child_scenes)
        if (!dark(*child)) return false;
    return true;
}

void Objects3D::draw_shadowed() {
    const std::vector<mat4> camera_list = {current_camera()->get_view_matrix()};
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    render_context.clear_lights();
    // The ambient pass gives the lit passes their depths and a colour to add
    // to. When that colour can only be the clear's black (see
    // ambient_below_target_step), the first lit pass lays the depths itself
    // and replaces instead of adding: every pixel ends with the nearest
    // surface's light, as before, and alpha with its diffuse alpha (1 + 1
    // was clamped to 1). Only for opaque materials (a transparent one adds
    // over what is behind it) and without culling (the ambient pass culls
    // nothing, the lit passes would cull back faces).
    bool depth_from_first_lit_pass = !cull_faces && all_opaque() && ambient_below_target_step();
    if (depth_from_first_lit_pass) {
        depth_from_first_lit_pass = false;
        for (const Light* light : lights)
            if (light->get_type() != Light::kTypeSkipped) depth_from_first_lit_pass = true;
    }
    if (!depth_from_first_lit_pass) draw_roots(camera_list, DRAW_MODE_SHADOW_AMBIENT);
    bool first_lit_pass = true;
    for (Light* light : lights) {
        if (light->get_type() == Light::kTypeSkipped) continue;
        light->set_shadows(true);
        render_context.set_light(light);
        if (cull_faces) {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_FRONT);
        } else {
            glDisable(GL_CULL_FACE);
        }
        for (int face = 0; face < Light::kFaces; ++face) {
            const mat4 face_view = light->begin_shadow_face(face);
            draw_roots({face_view}, DRAW_MODE_SHADOW_DEPTHWRITE);
            light->end_shadow_face();
        }
        if (first_lit_pass && depth_from_first_lit_pass) {
            glDisable(GL_BLEND);
        } else {
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
        }
        first_lit_pass = false;
        light->bind_shadow_map();
        render_context.set_shadow_pass(true);
        if (cull_faces) {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
        }
        draw_roots(camera_list, DRAW_MODE_SHADOW_LIGHTING);
        light->unbind_shadow_map();
        render_context.set_shadow_pass(false);
        glDisable(GL_BLEND);
    }
}

void Objects3D::draw_node(Node* node, std::vector<mat4> incoming, bool mirrored, int draw_mode) {
    const std::vector<mat4>& accumulatedMatrices = incoming;
    FATAL_ASSERT(node->modelViewMatrices.size() > 0 && accumulatedMatrices.size() > 0);
    std::vector<mat4> transformed_matrices;
    if (!combine_instances(incoming, node->modelViewMatrices, transformed_matrices))
        FATAL_ERROR("Conflicting amount of instances in node "
                    << node->name << ", " << incoming.size() << "incoming matrices, this node has "
                    << node->modelViewMatrices.size());
    const bool mirror = mirrored != node->mirrored;
    if (node->enabled)
        for (int child : node->children)
            draw_node(nodes[child].get(), transformed_matrices, mirror, draw_mode);
    glFrontFace(mirror ? GL_CW : GL_CCW);
    if (!node->visible || !node->enabled) return;
    Camera* camera = current_camera();
    for (int index : node->objects) {
        GeomObject* object = geom_objects[index].get();
        Material* material = materials[object->material_id];
        // Transparent objects cast no shadow.
        if (draw_mode == DRAW_MODE_SHADOW_DEPTHWRITE && material->is_transparent()) continue;
        owner->render_context.apply(draw_mode, object->textured, transformed_matrices, material, camera);
        // The passes that put the picture there: the plain pass, and the
        // shadow pipeline's ambient and lit passes (with a faint ambient
        // light the first lit pass draws in the ambient pass's stead).
        if (measuring_drawn && (draw_mode == DRAW_MODE_NORMAL || draw_mode == DRAW_MODE_SHADOW_AMBIENT ||
                                draw_mode == DRAW_MODE_SHADOW_LIGHTING))
            measure_drawn(*object, transformed_matrices, *camera);
        object->set_instance_matrices(transformed_matrices);
        if (material->diffuseColors.size() > 1) {
            FATAL_ASSERT(material->diffuseColors.size() == transformed_matrices.size());
            object->set_instance_colors(material->diffuseColors);
        }
        if (culls_back_faces(*object, *material, draw_mode, mirror, owner->cull_faces, transformed_matrices)) {
            const GLboolean culling = glIsEnabled(GL_CULL_FACE);
            GLint culled = GL_BACK;
            glGetIntegerv(GL_CULL_FACE_MODE, &culled);
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            object->draw();
            glCullFace(static_cast<GLenum>(culled));
            if (!culling) glDisable(GL_CULL_FACE);
        } else {
            object->draw();
        }
    }
}

void Objects3D::measure_drawn(const GeomObject& object, const std::vector<mat4>& matrices, const Camera& camera) {
    if (!object.mesh_ptr) {
        drawn.everywhere = true;
        return;
    }
    // Exploded triangles leave the mesh's box.
    vec3 lo, hi;
    const std::vector<float>& positions =
        object.vertices_deformed.empty() ? object.mesh_ptr->vertices : object.vertices_deformed;
    if (object.explode || !positions_box(positions, object.mesh_ptr->vertices_stride, lo, hi)) {
        drawn.everywhere = true;
        return;
    }
    const mat4 projection = camera.get_projection_matrix();
    for (const mat4& m : matrices) drawn.add_box(lo, hi, m, projection);
}

mat4 Objects3D::overlay_projection() {
    FATAL_ASSERT(cameras.size( ) > 0);
    FATAL_ASSERT(width > 0);
    FATAL_ASSERT(height > 0);
    return current_camera()->setup(width, height, aspect, 1.0f);
}

void Objects3D::draw_light_markers(float size) {
    const mat4 projection = overlay_projection();
    Camera* camera = current_camera();
    for (Light* light : lights) {
        if (light->get_type() == Light::kTypeSkipped) continue;
        mat4 modelview = camera->get_view_matrix();
        modelview.translate(light->get_position());
        ShaderProgram& flat = objects3d_shader();
        flat.bind();
        flat.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
        flat.set_uniform_matrix4fv("ModelViewMatrix", modelview.data(), 1, false);
        flat.set_uniform_vec4("Color", light->get_diffuse(), 1);
        easydraw_sphere(size, 2, false);
    }
}

void Objects3D::draw_debug_bounds(const char* name) {
    vec3 min, max;
    get_node_bounds(name, min, max, true);
    const mat4 projection = overlay_projection();
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
    const vec3 centre = lerp(min, max, 0.5f);
    const vec3 extents(std::fabs(max.x - min.x), std::fabs(max.y - min.y), std::fabs(max.z - min.z));
    mat4 modelview = current_camera()->get_view_matrix();
    modelview.translate(centre);
    ShaderProgram& flat = objects3d_shader();
    flat.bind();
    flat.set_uniform4f("Color", 0.0f, 0.5f, 1.0f, 0.3f);
    flat.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    flat.set_uniform_matrix4fv("ModelViewMatrix", modelview.data(), 1, false);
    // Once translucent through everything, once as a depth-tested wire frame.
    glDisable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    easydraw_box(extents.x, extents.y, extents.z, false);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    easydraw_box(extents.x, extents.y, extents.z, false);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
