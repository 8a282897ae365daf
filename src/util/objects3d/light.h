// A point light of a scene graph: position, diffuse and specular colours and
// a constant, linear and quadratic attenuation, which the render context
// uploads in eye space. With shadows on, the light owns a depth cube map and
// a frame buffer; the shadow pipeline renders the scene's depth into each
// face from the light's position (one fixed look-at per face, a 90 degree
// square perspective) and binds the cube map on unit 0 for the lit pass.
//
// The matrices and attenuation are plain arithmetic; the cube-map calls need
// a current GL context.
#pragma once

#include <GL/glew.h>

#include <string>

#include "util/math/mat4.h"
#include "util/math/vector.h"

class Light {
public:
    static constexpr int kFaces = 6;
    // The passes skip lights of this type.
    static constexpr int kTypeSkipped = 3;

    Light();
    // Deletes the cube map and frame buffer it created (the system keeps its
    // lights for the whole run).
    ~Light();
    Light(const Light&) = delete;
    Light& operator=(const Light&) = delete;

    // Moves the light and rebuilds `view` (the only operation that does).
    void set_position(float x, float y, float z);
    vec3 get_position() const { return vec3(position.x, position.y, position.z); }

    void set_diffuse(float r, float g, float b, float a) { diffuse.set(r, g, b, a); }
    void set_specular(float r, float g, float b, float a) { specular.set(r, g, b, a); }
    void set_ambient(float r, float g, float b, float a) { ambient.set(r, g, b, a); }
    vec4 get_diffuse() const { return diffuse; }
    vec4 get_specular() const { return specular; }

    void set_constant_attenuation(float v) { constant_attenuation = v; }
    void set_linear_attenuation(float v) { linear_attenuation = v; }
    void set_quadratic_attenuation(float v) { quadratic_attenuation = v; }
    // (constant, linear, quadratic).
    vec3 get_attenuation() const {
        return vec3(constant_attenuation, linear_attenuation, quadratic_attenuation);
    }
    // Constant 1, linear 1 / (10 d) with d the distance from the light to p,
    // quadratic 0.
    void set_attenuation_from_point(vec3 p);
    // Constant 1, linear 1 / (5 r), quadratic 0.
    void set_attenuation_from_range(float r);

    void set_shadow_clip(float near, float far);
    // Near s / 1000, far 2 s.
    void set_shadow_clip_from_scale(float s);

    mat4 get_view_matrix() const { return view; }
    mat4 get_shadow_projection() const { return shadow_projection; }
    int get_type() const { return type; }

    // Switches shadow casting; on creates the cube map and frame buffer the
    // first time. Off keeps them.
    void set_shadows(bool on);
    // Creates whichever of cube map and frame buffer is missing.
    void create_shadow_map();
    // Binds the frame buffer with face f (0..5: +X, -X, +Y, -Y, +Z, -Z) as
    // depth attachment, clears it, and returns face_views[f] * view, the
    // model-view of that face. With shadows off or f outside 0..5 returns the
    // identity and changes nothing. Each begin needs one end_shadow_face.
    mat4 begin_shadow_face(int face);
    // Restores what begin_shadow_face changed (but leaves the cull face at
    // GL_FRONT).
    void end_shadow_face();
    // The cube map on texture unit 0.
    void bind_shadow_map();
    void unbind_shadow_map();
    // Rebuilds an existing cube map width x width when the size changed,
    // unless the light has a fixed shadow size.
    void resize(int width, int height);
    // Faces of `size` x `size` texels from now on, whatever the render size
    // (an existing cube map is rebuilt); 0 lets resize follow the render
    // width again. The depth passes cost the faces' texels: a small scene's
    // shadows need far fewer than the render width.
    void set_fixed_shadow_size(int size);

    std::string name;
    vec4 position{0.0f, 0.0f, 0.0f, 1.0f};
    mat4 view;  // translation by -position
    mat4 face_views[kFaces];
    mat4 shadow_projection;
    vec4 ambient;  // read by nothing: the ambient term is the render context's
    vec4 diffuse;
    vec4 specular;
    float constant_attenuation = 1.0f;
    float linear_attenuation = 0.0f;
    float quadratic_attenuation = 0.0f;
    int type = 1;
    bool shadows = false;
    float shadow_near = 0.01f;
    float shadow_far = 20.0f;
    int shadow_size = 2048;
    int fixed_shadow_size = 0;  // 0: none
    GLuint shadow_map = 0;
    GLuint shadow_fbo = 0;
    // No size yet until the first resize.
    int last_width = -1;
    int last_height = -1;
    GLint saved_framebuffer = 0;
    GLint saved_draw_buffer = 0;
    GLint saved_read_buffer = 0;
    GLint saved_viewport[4] = {0, 0, 0, 0};

private:
    bool face_active = false;
};
