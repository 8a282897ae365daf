// The viewpoint of a 3D scene: a view matrix (world to eye), a perspective
// projection built by setup from a vertical field of view and a clip range,
// and the depth-of-field parameters of the scene-graph drawing pass.
//
// setup also loads both matrices into the fixed-function matrix stacks and
// sets the viewport, so fixed-function drawing follows the same camera. All
// angles are in degrees. A plain value type; it owns no GL objects.
#pragma once

#include <string>

#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/math/viewport.h"


class Camera {
public:
    Camera() = default;

    // Stores eye, target and up and makes the view their look-at matrix.
    void look_at(float eye_x, float eye_y, float eye_z, float dst_x, float dst_y, float dst_z,
                 float up_x, float up_y, float up_z);
    // The view only; eye, dst and up stay as they were.
    void set_view_matrix(mat4 m) { view = m; }
    mat4 get_view_matrix() const { return view; }
    // As the last setup left it.
    mat4 get_projection_matrix() const { return projection; }
    // The transpose of the inverse of the view (not the plain inverse).
    mat4 get_inverse_view() const { return view.normal_matrix(); }

    void set_fov(float degrees) { fov = degrees; }
    void set_fov_x(float degrees) { fov_x = degrees; }
    // Widens both fields of view by delta.
    void zoom(float delta);
    void set_znear(float z) { znear = z; }
    void set_zfar(float z) { zfar = z; }
    void set_clip(float near, float far);
    // Near s / 1000, far s * 10.
    void set_clip_from_scale(float s);

    float get_znear() const { return znear; }
    float get_zfar() const { return zfar; }
    float get_focus_point() const { return focus_point; }
    float get_focus_range() const { return focus_range; }
    float get_focus_falloff() const { return focus_falloff; }

    // Turns about the eye's own axes: view := R * view.
    void rotate(float degrees, vec3 axis);
    // Moves along the eye's forward (0, 0, 1), sideways (1, 0, 0) and
    // vertical (0, -1, 0) axes: view := view * T.
    void move_forward(float distance);
    void move_sideways(float distance);
    void move_vertical(float distance);

    // Viewport, projection and model-view for a target of that size and
    // aspect ratio (own_width, own_height and own_aspect replace them when all
    // are positive); clip_scale scales only the projection's near and far
    // planes. A negative fov is derived from fov_x, or becomes 45. Returns the
    // new projection. Sizes outside 0..10000, a bad aspect ratio and a
    // negative znear or zfar end the run.
    mat4 setup(int width, int height, float aspect, float clip_scale);
    // The model-view stack gets view * translation(view_offset).
    void load_modelview() const;
    // A diagnostic hook; does nothing.
    void dump() const {}

    // The viewport setup chooses: the full width, height width / aspect,
    // centred vertically (y is negative when it is taller than the target).
    static ViewportRect viewport_for(int width, int height, float aspect);

    std::string name;
    vec3 eye{0.0f, 10.0f, -150.0f};
    vec3 dst{0.0f, 0.0f, 0.0f};
    vec3 up{0.0f, 0.0f, -1.0f};
    mat4 view;        // identity until look_at or set_view_matrix
    mat4 projection;  // rebuilt by every setup
    float fov_x = -1.0f;
    float fov = -1.0f;
    float znear = 1.0f;
    float zfar = 1000.0f;
    // Fractions of the depth range from znear to zfar.
    float focus_point = 0.2f;
    float focus_range = 0.1f;
    float focus_falloff = 0.3f;
    int own_width = -1;
    int own_height = -1;
    float own_aspect = -1.0f;
    vec3 view_offset{0.0f, 0.0f, 0.0f};

private:
    void move(const vec3& axis, float distance);
};
