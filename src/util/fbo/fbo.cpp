#include "util/fbo/fbo.h"

#include <algorithm>

#include "system/fatal.h"

namespace {

const int kRequiredDrawBuffers = 3;

const GLenum kDrawBufferList[4] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1,
                                   GL_COLOR_ATTACHMENT2, GL_COLOR_ATTACHMENT3};

// The largest sample count that colour textures, depth textures and render
// buffers all accept.
int max_supported_samples() {
    GLint max_samples = 0, max_color = 0, max_depth = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max_samples);
    glGetIntegerv(GL_MAX_COLOR_TEXTURE_SAMPLES, &max_color);
    glGetIntegerv(GL_MAX_DEPTH_TEXTURE_SAMPLES, &max_depth);
    return std::min({max_samples, max_color, max_depth});
}

}  // namespace

FBO::FBO(int w, int h, int type, int sample_count) : width(w), height(h), samples(sample_count) {
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &max_draw_buffers);
    if (max_draw_buffers < kRequiredDrawBuffers)
        FATAL_ERROR("GL_MAX_DRAW_BUFFERS is " << max_draw_buffers
                                              << ", which just ain't gonna cut it. You must have "
                                              << kRequiredDrawBuffers << " for this ride.");
    if (samples > 1) {
        const int max_samples = max_supported_samples();
        if (samples > max_samples) {
            LOG_INFO("FBO: " << samples << " samples requested, the driver offers " << max_samples
                             << "; using " << max_samples << "\n");
            samples = max_samples;
        }
    }

    glGenFramebuffers(1, &id);
    glBindFramebuffer(GL_FRAMEBUFFER, id);
    switch (type) {
        case FBO_TYPE_RGBA8_MIPMAP:
            add_depth_buffer();
            add_color_attachment_mipmapped(GL_RGBA8);
            break;
        case FBO_TYPE_3X_RGBA32F:
            add_depth_buffer();
            for (int i = 0; i < 3; ++i) add_color_attachment_mipmapped(GL_RGBA32F);
            break;
        case FBO_TYPE_RGBA32F:
            add_depth_buffer();
            add_color_attachment_mipmapped(GL_RGBA32F);
            break;
        case FBO_TYPE_DEPTH_TEXTURE:
            add_depth_texture();
            add_color_attachment(GL_RGBA8, false);
            break;
        case FBO_TYPE_RGBA8:
            add_depth_buffer();
            add_color_attachment(GL_RGBA8, false);
            break;
        case FBO_TYPE_RGBA8_NO_DEPTH:
            add_color_attachment(GL_RGBA8, false);
            break;
        default:
            FATAL_ERROR("Unrecognized FBO type");
    }
    check_status();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    fbo_pushed = -1;
}

FBO::~FBO() {
    if (depth_buffer) glDeleteRenderbuffers(1, &depth_buffer);
    if (id) glDeleteFramebuffers(1, &id);
}

void FBO::check_status() {
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    switch (status) {
        case GL_FRAMEBUFFER_COMPLETE:
            return;
        case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT");
        case GL_FRAMEBUFFER_UNSUPPORTED:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_UNSUPPORTED_EXT");
        case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE:
            FATAL_ERROR("FBO error: GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE");
        default:
            FATAL_ERROR("FBO error: Unknown error " << status);
    }
}

void FBO::add_depth_buffer() {
    if (depth_buffer) FATAL_ERROR("Depth buffer already present!");
    glGenRenderbuffers(1, &depth_buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_buffer);
    if (samples > 1)
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT, width, height);
    else
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer);
}

void FBO::attach_texture(GLenum attachment, const Texture& texture) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, texture.get_target(), texture.get_id(), 0);
}

void FBO::add_depth_texture() {
    if (depth_texture) FATAL_ERROR("Trying to add depth texture to an FBO that already has one!");
    depth_texture = std::make_unique<Texture>();
    const bool created =
        samples > 1 ? depth_texture->create_empty_multisample(width, height, false, false,
                                                              GL_DEPTH_COMPONENT32, samples)
                    : depth_texture->create_empty(width, height, false, false, GL_DEPTH_COMPONENT32);
    if (!created)
        FATAL_ERROR("Failed to create " << width << "x" << height << " texture for FBO " << id
                                        << " depth attachment");
    attach_texture(GL_DEPTH_ATTACHMENT, *depth_texture);
}

void FBO::add_color_attachment(GLint internal_format, bool mipmaps) {
    const int index = static_cast<int>(textures.size());
    if (index >= max_draw_buffers)
        FATAL_ERROR("Tried to add more than " << index << " color attachments, and GL_MAX_DRAW_BUFFERS is "
                                              << max_draw_buffers);
    textures.push_back(std::make_unique<Texture>());
    Texture* texture = textures.back().get();
    const bool created =
        samples > 1 ? texture->create_empty_multisample(width, height, mipmaps, false,
                                                        internal_format, samples)
                    : texture->create_empty(width, height, mipmaps, false, internal_format);
    if (!created)
        FATAL_ERROR("Failed to create " << width << "x" << height << " texture for FBO " << id
                                        << " color attachment " << index);
    attach_texture(GL_COLOR_ATTACHMENT0 + index, *texture);
}

void FBO::push(bool clear) {
    FATAL_ASSERT(fbo_pushed < 0);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &fbo_pushed);
    const int saved = std::min(max_draw_buffers, kMaxSavedDrawBuffers);
    for (int i = 0; i < kMaxSavedDrawBuffers; ++i) saved_draw_buffers[i] = GL_NONE;
    for (int i = 0; i < saved; ++i) glGetIntegerv(GL_DRAW_BUFFER0 + i, &saved_draw_buffers[i]);
    glGetIntegerv(GL_READ_BUFFER, &saved_read_buffer);
    glGetIntegerv(GL_VIEWPORT, saved_viewport);

    glBindFramebuffer(GL_FRAMEBUFFER, id);
    const int n = static_cast<int>(textures.size());
    if (n > kRequiredDrawBuffers)
        FATAL_ERROR("Can only draw to " << kRequiredDrawBuffers << " buffers at a time here");
    glDrawBuffers(n, kDrawBufferList);
    glViewport(0, 0, width, height);
    if (clear)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT);
}

void FBO::pop() {
    // Every pop pairs with a push; without one there is nothing to restore.
    FATAL_ASSERT(fbo_pushed >= 0);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(fbo_pushed));
    // All draw buffers that were in use, so that an outer target with several
    // attachments keeps drawing to all of them.
    int in_use = 0;
    for (int i = 0; i < kMaxSavedDrawBuffers; ++i)
        if (saved_draw_buffers[i] != GL_NONE) in_use = i + 1;
    if (in_use <= 1) {
        glDrawBuffer(static_cast<GLenum>(saved_draw_buffers[0]));
    } else {
        GLenum buffers[kMaxSavedDrawBuffers];
        for (int i = 0; i < in_use; ++i) buffers[i] = static_cast<GLenum>(saved_draw_buffers[i]);
        glDrawBuffers(in_use, buffers);
    }
    glReadBuffer(static_cast<GLenum>(saved_read_buffer));
    glViewport(saved_viewport[0], saved_viewport[1], saved_viewport[2], saved_viewport[3]);
    fbo_pushed = -1;
    update_mipmaps();
}

void FBO::update_mipmaps() {
    // A multisample texture has no mipmaps (generating on GL_TEXTURE_2D would
    // touch whatever 2D texture is bound on the unit), and a texture made
    // without a mip chain is never sampled through one: regenerating it would
    // be a full-screen pass for nothing.
    for (unsigned i = 0; i < textures.size(); ++i) {
        if (textures[i]->get_samples() || !textures[i]->has_mipmaps()) continue;
        bind_texture(i, 0);
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glActiveTexture(GL_TEXTURE0);
}

void FBO::blit() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, id);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

void FBO::blit(const ViewportRect& area) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, id);
    const int x1 = area.x + area.width, y1 = area.y + area.height;
    glBlitFramebuffer(area.x, area.y, x1, y1, area.x, area.y, x1, y1, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

void FBO::draw() { textures[0]->draw(0, 0, 1, 1); }

void FBO::resize(int w, int h) {
    if (!GLEW_ARB_texture_non_power_of_two) {
        int p = 2;
        while (p < w) p *= 2;
        w = h = p / 2;
    }
    if (w == width && h == height) return;

    glBindFramebuffer(GL_FRAMEBUFFER, id);
    width = w;
    height = h;
    if (depth_buffer) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
        glDeleteRenderbuffers(1, &depth_buffer);
        depth_buffer = 0;
        add_depth_buffer();
    }
    if (depth_texture) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depth_texture->get_target(), 0, 0);
        depth_texture->resize(width, height);
        attach_texture(GL_DEPTH_ATTACHMENT, *depth_texture);
    }
    for (unsigned i = 0; i < textures.size(); ++i) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, textures[i]->get_target(), 0, 0);
        textures[i]->resize(width, height);
        attach_texture(GL_COLOR_ATTACHMENT0 + i, *textures[i]);
    }
    check_status();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

Texture* FBO::get_texture(unsigned index) {
    return index < textures.size() ? textures[index].get() : nullptr;
}

void FBO::bind_texture(unsigned index, int unit) {
    if (index >= textures.size()) FATAL_ERROR("Invalid texture number");
    textures[index]->bind(unit);
}

void FBO::bind_depth_texture(int unit) {
    if (!depth_texture) FATAL_ERROR("No depth texture is created!");
    depth_texture->bind(unit);
}
