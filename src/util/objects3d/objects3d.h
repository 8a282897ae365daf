// The scene graph of one 3D scene. It holds the scene's cameras and lights
// (the scene appends them directly), collects the meshes and materials the
// scene adds, wraps each mesh-material pair in a GeomObject hung on a Node
// that carries one transform or one per instance, keeps the per-scene
// switches (shadows, depth of field, light markers) and the render targets
// drawing needs, and draws the whole graph once per frame: a plain pass or
// the shadow pipeline (ambient pass, six depth passes and one additive lit
// pass per light), optional glow, light markers, bounds and depth of field.
//
// Meshes, materials, cameras and lights belong to the scene; the graph owns
// its nodes, geometry objects and render targets.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/math/viewport.h"
#include "util/objects3d/drawn_area.h"
#include "util/objects3d/geomobject.h"
#include "util/objects3d/light.h"
#include "util/objects3d/material.h"
#include "util/objects3d/mesh.h"
#include "util/objects3d/rendercontext.h"

class Camera;
class FBO;
class ShaderProgram;

struct Node {
    Node() : Node(-1) {}
    explicit Node(int parent_index) : parent(parent_index) { reset(); }
    // One identity matrix appended, flags back to drawn and not mirrored.
    void reset();

    std::string name;  // "Master node" for the root; others have none
    // The local transform, or one per instance.
    std::vector<mat4> modelViewMatrices;
    int parent = -1;      // index into the graph's nodes; -1 for the root
    int this_index = -1;  // this node's index there
    std::vector<int> children;  // node indices, in the order added
    std::vector<int> objects;   // geometry-object indices this node draws
    bool mirrored = false;  // flips the front-face winding for the subtree
    bool visible = true;    // false: own objects hidden, children still drawn
    bool enabled = true;    // false: the whole subtree hidden
};

// The instancing rule: one output per instance, incoming on the left. With
// n node and m incoming matrices: n == m (both above 1) pairs them up, a
// single matrix on either side applies to every one of the other. False
// (and nothing written) when both are above 1 and differ; both lists must
// not be empty.
bool combine_instances(const std::vector<mat4>& incoming, const std::vector<mat4>& node,
                       std::vector<mat4>& out);

// Shared by every graph: made by the first graph and kept for the context
// (util/context_cache.h).
ShaderProgram& objects3d_blur_shader();  // glow composite
ShaderProgram& objects3d_shader();       // flat colour: light markers, bounds
ShaderProgram& objects3d_dof_shader();   // depth-of-field composite
extern const mat4 unit_square_projection;
// How far the depth-of-field composite reads around a pixel, in parts of the
// picture's height: the largest blur radius of dof.frag (max_radius). The
// composite and the drawing under a scissor box read and draw only that far
// around what matters, so the shader's radius must not exceed it.
constexpr float kDofReach = 0.012f;

class Objects3D {
public:
    // Needs a GL context: the first graph builds the shared programs.
    Objects3D();
    ~Objects3D();
    Objects3D(const Objects3D&) = delete;
    Objects3D& operator=(const Objects3D&) = delete;

    // A node drawing the mesh with the material under parent (null: root).
    Node* add(Mesh* mesh, Material* material, Node* parent);
    // Null for a null mesh or material.
    GeomObject* add_geom_object(Mesh* mesh, Material* material);
    // An object that is not in the graph yet (one not made by
    // add_geom_object) is taken over: the graph frees it.
    Node* add_node(GeomObject* object, Node* parent);

    // cur_cam := index, or -1 when there is no such camera.
    void set_camera(unsigned index);
    void set_shadows(bool on);
    void set_dof(bool on) { dof = on; }
    void set_draw_lights(bool on, float size) {
        draw_lights = on;
        light_marker_size = size;
    }
    void set_global_ambient(const vec4& colour) { render_context.set_global_ambient(colour); }
    void resize(int width, int height, float aspect);

    // World matrices of the node (one per instance) into matrices.
    void get_node_matrices(int node_index, std::vector<mat4>& matrices);
    // Box of the named node's subtree; the whole graph for null or "".
    void get_node_bounds(const char* name, vec3& min, vec3& max, bool include_children);
    // Diagonal of get_node_bounds(name, ..., true).
    float get_node_size(const char* name);
    bool walk_bounds(Node* node, const char* name, vec3& min, vec3& max, bool take);

    // The whole frame of the graph into the bound target. With the scissor
    // test on, only the scissor box of the target needs to be right: the
    // graph may then draw less of its own targets (never of the shadow
    // faces).
    void draw();
    void draw_plain();
    void draw_shadowed();
    void draw_node(Node* node, std::vector<mat4> incoming, bool mirrored, int draw_mode);
    void draw_light_markers(float size);
    void draw_debug_bounds(const char* name);

    Camera* current_camera() const;

    std::vector<Camera*> cameras;  // borrowed
    std::vector<Light*> lights;    // borrowed
    std::string name;
    std::vector<Material*> materials;  // borrowed, each once
    std::vector<Mesh*> meshes;         // borrowed, each once
    std::vector<std::unique_ptr<GeomObject>> geom_objects;
    std::vector<std::unique_ptr<Node>> nodes;
    Node* master_node = nullptr;  // nodes[0], once there is a node
    int cur_cam = 0;
    int width = -1;
    int height = -1;
    float aspect = -1.0f;
    bool shadows = false;
    bool glow = false;
    bool dof = false;
    bool cull_faces = false;
    bool draw_lights = false;
    float light_marker_size = 1.0f;
    bool draw_bounds = false;
    Objects3D* owner = this;  // whose camera and render context draw the nodes
    // Graphs drawn, sized and measured with this one; a child draws with
    // its owner's camera and lights, so set its owner to this graph.
    std::vector<Objects3D*> child_scenes;  // borrowed
    std::unique_ptr<FBO> glow_fbo;
    std::unique_ptr<FBO> dof_fbo;
    RenderContext render_context;

private:
    // Draws the root of this graph and of every child graph.
    void draw_roots(const std::vector<mat4>& incoming, int draw_mode);
    // width x height, 512 for a size below 1.
    std::unique_ptr<FBO> make_target(int type) const;
    // The part of the depth-of-field target that its composite reads for
    // `box` of the picture, in pixels.
    ViewportRect sharp_area(const ViewportRect& box) const;
    // True when the ambient pass of the shadow pipeline can only write black
    // into the bound target: the global ambient times every material's
    // ambient colour, plus its emission, below half a step of the target's
    // channels.
    bool ambient_below_target_step() const;
    // True when every material of the graph and its child graphs (and every
    // per-instance colour) has a diffuse alpha of 1 as uploaded.
    bool all_opaque() const;
    // The checks and projection the markers and boxes share.
    mat4 overlay_projection();
    // Grows `drawn` by the object's box at every one of the matrices.
    void measure_drawn(const GeomObject& object, const std::vector<mat4>& matrices, const Camera& camera);
    // The depth-of-field composite into the caller's target. `camera_viewport`
    // is where the camera drew in the depth-of-field target, `cleared` the
    // colour that target was cleared to.
    void composite_dof(const Camera& camera, const ViewportRect& camera_viewport, const float cleared[4]);

    // While the passes that make the depth-of-field picture draw, what they
    // can have touched (drawn_area.h): the composite reads the target only
    // around it. Off when something else draws there too (glow, markers,
    // bounds, child graphs): the composite then reads it whole.
    bool measuring_drawn = false;
    DrawnArea drawn;
};
