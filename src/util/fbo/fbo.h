// An off-screen render target: one frame-buffer object with one or three
// colour textures and a depth render buffer or depth texture, chosen by type,
// optionally multisampled. Drawing into it is bracketed by push and pop,
// which save and restore the previous frame buffer, draw and read buffers and
// viewport, so targets nest like a stack.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "util/math/viewport.h"
#include "util/texture/texture.h"

enum FboType {
    FBO_TYPE_RGBA8_MIPMAP = 1,   // depth buffer, one RGBA8 texture with mipmaps
    FBO_TYPE_3X_RGBA32F = 2,     // depth buffer, three RGBA32F textures with mipmaps
    FBO_TYPE_RGBA32F = 3,        // depth buffer, one RGBA32F texture with mipmaps
    FBO_TYPE_DEPTH_TEXTURE = 4,  // 32-bit depth texture, one RGBA8 texture
    FBO_TYPE_RGBA8 = 5,          // depth buffer, one RGBA8 texture
    // One RGBA8 texture and no depth: for targets that only receive copies
    // and full-screen passes, where a depth buffer would only be cleared.
    // Kept well away from the small numbers: any other type, 0 and 6
    // included, ends the run.
    FBO_TYPE_RGBA8_NO_DEPTH = 0x105,
};

class FBO {
public:
    // samples > 1 makes every attachment multisampled (at most what the
    // driver offers); 0 and 1 mean single-sampled. Leaves frame buffer 0 bound.
    FBO(int width, int height, int type, int samples);
    ~FBO();
    FBO(const FBO&) = delete;
    FBO& operator=(const FBO&) = delete;

    // Binds the target with all colour textures as draw buffers and its full
    // size as viewport; clears everything when `clear` is set.
    void push(bool clear);
    // Restores what push saved, then regenerates the mipmaps of the colour
    // textures that have a mip chain.
    void pop();
    // Copies colour buffer 0 into the bound draw frame buffer, resolving
    // multisampling.
    void blit();
    // The same for one rectangle, to the same place.
    void blit(const ViewportRect& area);
    // Colour texture 0 over the unit square through the bound program.
    void draw();
    void resize(int width, int height);

    Texture* get_texture(unsigned index);
    void bind_texture(unsigned index, int unit);
    void bind_depth_texture(int unit);
    void update_mipmaps();

    int get_width() const { return width; }
    int get_height() const { return height; }
    int get_samples() const { return samples; }
    GLuint get_id() const { return id; }

private:
    void add_depth_buffer();
    void add_depth_texture();
    void add_color_attachment(GLint internal_format, bool mipmaps);
    void add_color_attachment_mipmapped(GLint internal_format) {
        add_color_attachment(internal_format, true);
    }
    void attach_texture(GLenum attachment, const Texture& texture);
    void check_status();

    static constexpr int kMaxSavedDrawBuffers = 8;

    int width;
    int height;
    int samples;
    int max_draw_buffers = 0;
    GLuint id = 0;
    GLuint depth_buffer = 0;
    std::unique_ptr<Texture> depth_texture;
    std::vector<std::unique_ptr<Texture>> textures;
    GLint fbo_pushed = -1;
    // The draw buffers current at push, GL_NONE after the last one in use.
    GLint saved_draw_buffers[kMaxSavedDrawBuffers] = {};
    GLint saved_read_buffer = 0;
    GLint saved_viewport[4] = {0, 0, 0, 0};
};
