#include "util/camera/camera.h"

#include <GL/glew.h>

#include "system/fatal.h"

namespace {

constexpr int max_target_size = 10000;
constexpr float default_fov = 45.0f;
// The first float past the int range: a viewport height must stay below it.
constexpr float int_range_end = 2147483648.0f;

}  // namespace

void Camera::look_at(float eye_x, float eye_y, float eye_z, float dst_x, float dst_y,
                     float dst_z, float up_x, float up_y, float up_z) {
    eye.set(eye_x, eye_y, eye_z);
    dst.set(dst_x, dst_y, dst_z);
    up.set(up_x, up_y, up_z);
    view.set_identity();
    view.look_at(eye.x, eye.y, eye.z, dst.x, dst.y, dst.z, up.x, up.y, up.z);
}

void Camera::zoom(float delta) {
    fov += delta;
    fov_x += delta;
}

void Camera::set_clip(float near, float far) {
    set_znear(near);
    set_zfar(far);
}

void Camera::set_clip_from_scale(float s) { set_clip(s * 0.001f, s * 10.0f); }

void Camera::rotate(float degrees, vec3 axis) {
    mat4 r;
    r.rotate(degrees, axis.x, axis.y, axis.z);
    view = r * view;
}

void Camera::move(const vec3& axis, float distance) {
    vec3 v = view.normal_matrix().transform_direction(axis);
    v = v / v.length();
    view.translate(v.x * distance, v.y * distance, v.z * distance);
}

void Camera::move_forward(float distance) { move(vec3(0.0f, 0.0f, 1.0f), distance); }
void Camera::move_sideways(float distance) { move(vec3(1.0f, 0.0f, 0.0f), distance); }
void Camera::move_vertical(float distance) { move(vec3(0.0f, -1.0f, 0.0f), distance); }

ViewportRect Camera::viewport_for(int width, int height, float aspect) {
    const int vh = static_cast<int>(static_cast<float>(width) / aspect);
    return {0, (height - vh) / 2, width, vh};
}

mat4 Camera::setup(int width, int height, float aspect, float clip_scale) {
    if (width < 0 || height < 0 || width > max_target_size || height > max_target_size)
        FATAL_ERROR("Sanity check failed on width/height " << width << "/" << height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (own_width > 0 && own_height > 0 && own_aspect > 0.0f) {
        width = own_width;
        height = own_height;
        aspect = own_aspect;
    }
    if (height == 0) height = 1;
    // A zero, negative or NaN aspect, or one so small that the viewport's
    // height leaves the int range, has no viewport.
    if (!(aspect > 0.0f) || !(static_cast<float>(width) / aspect < int_range_end))
        FATAL_ERROR("Sanity check failed on aspect " << aspect);

    const ViewportRect vp = viewport_for(width, height, aspect);
    glViewport(vp.x, vp.y, vp.width, vp.height);

    if (fov < 0.0f) fov = fov_x >= 0.0f ? fov_x / aspect : default_fov;
    if (znear < 0.0f || zfar < 0.0f) FATAL_ERROR("Invalid znear/zfar of " << znear << "/" << zfar);

    projection.perspective(fov, aspect, znear * clip_scale, zfar * clip_scale);
    glLoadMatrixf(projection.data());
    load_modelview();
    return projection;
}

void Camera::load_modelview() const {
    mat4 m = view;
    m.translate(view_offset);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m.data());
}
