#include "util/objects3d/light.h"

namespace {

struct FaceLook {
    float cx, cy, cz;  // the point looked at from the origin
    float ux, uy, uz;  // up
};

// The usual cube-map orientation of the faces +X, -X, +Y, -Y, +Z, -Z.
const FaceLook kFaceLooks[Light::kFaces] = {
    {1, 0, 0, 0, -1, 0},  {-1, 0, 0, 0, -1, 0}, {0, 1, 0, 0, 0, 1},
    {0, -1, 0, 0, 0, -1}, {0, 0, 1, 0, -1, 0},  {0, 0, -1, 0, -1, 0},
};

}  // namespace

Light::Light()
    : ambient(0.002f, 0.002f, 0.002f, 1.0f),
      diffuse(1.0f, 1.0f, 1.0f, 1.0f),
      specular(1.0f, 1.0f, 1.0f, 1.0f) {
    for (int f = 0; f < kFaces; ++f) {
        const FaceLook& l = kFaceLooks[f];
        face_views[f].look_at(0, 0, 0, l.cx, l.cy, l.cz, l.ux, l.uy, l.uz);
    }
    set_shadow_clip_from_scale(10.0f);
    set_attenuation_from_point(vec3(10.0f, 10.0f, 10.0f));
}

Light::~Light() {
    if (shadow_map) glDeleteTextures(1, &shadow_map);
    if (shadow_fbo) glDeleteFramebuffersEXT(1, &shadow_fbo);
}

void Light::set_position(float x, float y, float z) {
    position.set(x, y, z, 1.0f);
    view.set_identity();
    view.translate(-x, -y, -z);
}

void Light::set_attenuation_from_point(vec3 p) {
    const float d = (get_position() - p).length();
    constant_attenuation = 1.0f;
    linear_attenuation = 1.0f / (10.0f * d);
    quadratic_attenuation = 0.0f;
}

void Light::set_attenuation_from_range(float r) {
    constant_attenuation = 1.0f;
    linear_attenuation = 1.0f / ((r / 2.0f) * 10.0f);
    quadratic_attenuation = 0.0f;
}

void Light::set_shadow_clip(float near, float far) {
    shadow_near = near;
    shadow_far = far;
    shadow_projection.perspective(90.0f, 1.0f, near, far);
}

void Light::set_shadow_clip_from_scale(float s) { set_shadow_clip(s * 0.001f, s * 2.0f); }

void Light::set_shadows(bool on) {
    shadows = on;
    if (shadows) create_shadow_map();
}

void Light::create_shadow_map() {
    if (shadow_map == 0) {
        GLint previous = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &previous);
        glGenTextures(1, &shadow_map);
        glBindTexture(GL_TEXTURE_CUBE_MAP, shadow_map);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        for (int f = 0; f < kFaces; ++f)
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f, 0, GL_DEPTH_COMPONENT24, shadow_size,
                         shadow_size, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
        glBindTexture(GL_TEXTURE_CUBE_MAP, static_cast<GLuint>(previous));
    }
    if (shadow_fbo == 0) glGenFramebuffersEXT(1, &shadow_fbo);
}

mat4 Light::begin_shadow_face(int face) {
    if (!shadows || face < 0 || face >= kFaces) return mat4();
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &saved_framebuffer);
    glGetIntegerv(GL_DRAW_BUFFER, &saved_draw_buffer);
    glGetIntegerv(GL_READ_BUFFER, &saved_read_buffer);
    glGetIntegerv(GL_VIEWPORT, saved_viewport);
    glPushAttrib(GL_VIEWPORT_BIT | GL_ACCUM_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT |
                 GL_LINE_BIT | GL_SCISSOR_BIT);
    // The face is whole whatever part of its own target the caller scissors.
    glDisable(GL_SCISSOR_TEST);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, shadow_fbo);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glViewport(0, 0, shadow_size, shadow_size);
    glCullFace(GL_FRONT);
    glDisable(GL_LIGHTING);

    const mat4 modelview = face_views[face] * view;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(shadow_projection.data());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(modelview.data());

    glEnable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glEnable(GL_POLYGON_OFFSET_POINT);
    glPolygonOffset(1.0f, 1.0f);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                              GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, shadow_map, 0);
    // A transparent material drawn last leaves depth writes off, and a depth
    // clear obeys the mask: the face would keep last frame's depths. The
    // pushed depth-buffer state gives the caller's mask back at the end.
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    face_active = true;
    return modelview;
}

void Light::end_shadow_face() {
    // Only a begun face has anything to restore: popping unpushed stacks
    // would take the caller's matrices and attributes instead.
    if (!shadows || !face_active) return;
    face_active = false;
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glDisable(GL_POLYGON_OFFSET_POINT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(saved_framebuffer));
    glDrawBuffer(static_cast<GLenum>(saved_draw_buffer));
    glReadBuffer(static_cast<GLenum>(saved_read_buffer));
    glViewport(saved_viewport[0], saved_viewport[1], saved_viewport[2], saved_viewport[3]);
    glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void Light::bind_shadow_map() {
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glBindTexture(GL_TEXTURE_CUBE_MAP, shadow_map);
}

void Light::unbind_shadow_map() {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glDisable(GL_TEXTURE_CUBE_MAP);
}

void Light::set_fixed_shadow_size(int size) {
    fixed_shadow_size = size > 0 ? size : 0;
    if (fixed_shadow_size == 0 || fixed_shadow_size == shadow_size) return;
    shadow_size = fixed_shadow_size;
    if (shadow_map != 0) {
        glDeleteTextures(1, &shadow_map);
        shadow_map = 0;
        create_shadow_map();
    }
}

void Light::resize(int width, int height) {
    const bool changed = width != last_width || height != last_height;
    if (changed && shadow_map != 0 && fixed_shadow_size == 0) {
        shadow_size = width;
        glDeleteTextures(1, &shadow_map);
        shadow_map = 0;
        create_shadow_map();
    }
    last_width = width;
    last_height = height;
}
