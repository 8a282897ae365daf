// The renderer's floor: the least a frame of this engine can do, in plain GL
// in the benchmark's own process. A multisampled colour target with a depth
// buffer, as every 3D frame has, is cleared (colour and depth), resolved into
// a texture, and that texture is drawn over the window with one full-screen
// triangle; then the swap, finished with glFinish. Benchmarks time their
// frames against it, frame by frame in the same run, and report each case's
// median frame as a multiple of the floor's median: on a shared machine only
// such ratios mean anything.
//
// `frame(hops)` can add full-screen copies through a second target: what
// one post-processing pass costs at best.
#pragma once

#include <GL/glew.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "system/window.h"

namespace render_floor {

class Floor {
public:
    // A target of `width` x `height` with `samples` samples (0 or 1: none);
    // needs the window's context current.
    Floor(int width, int height, int samples) : width_(width), height_(height) {
        glGenFramebuffers(3, fbos_);
        glGenRenderbuffers(2, renderbuffers_);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos_[0]);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples > 1 ? samples : 0, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[0]);
        // The depth format the engine's scene targets ask for.
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples > 1 ? samples : 0, GL_DEPTH_COMPONENT, width,
                                         height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[1]);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            throw std::runtime_error("floor target incomplete");
        glGenTextures(2, textures_);
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, textures_[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glBindFramebuffer(GL_FRAMEBUFFER, fbos_[i + 1]);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures_[i], 0);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        program_ = glCreateProgram();
        const GLuint vertex = compile(GL_VERTEX_SHADER,
                                      "#version 130\n"
                                      "out vec2 uv;\n"
                                      "void main() {\n"
                                      "  uv = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
                                      "  gl_Position = vec4(uv * 2.0 - 1.0, 0.0, 1.0);\n"
                                      "}\n");
        const GLuint fragment = compile(GL_FRAGMENT_SHADER,
                                        "#version 130\n"
                                        "uniform sampler2D picture;\n"
                                        "in vec2 uv;\n"
                                        "void main() { gl_FragColor = texture(picture, uv); }\n");
        glAttachShader(program_, vertex);
        glAttachShader(program_, fragment);
        glLinkProgram(program_);
        glDeleteShader(vertex);
        glDeleteShader(fragment);
    }
    ~Floor() {
        glDeleteProgram(program_);
        glDeleteTextures(2, textures_);
        glDeleteRenderbuffers(2, renderbuffers_);
        glDeleteFramebuffers(3, fbos_);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    // One frame, with `hops` extra copies through the second target.
    void frame(int hops = 0) {
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glViewport(0, 0, width_, height_);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos_[0]);
        glClearColor(0, 0, 0, 0);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbos_[1]);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        // A vertex-array object another case left bound would be harmless,
        // but the engine's client-array draws expect none.
        glBindVertexArray(0);
        glUseProgram(program_);
        glActiveTexture(GL_TEXTURE0);
        int source = 0;
        for (int hop = 0; hop < hops; ++hop) {
            glBindFramebuffer(GL_FRAMEBUFFER, fbos_[2 - source]);
            glBindTexture(GL_TEXTURE_2D, textures_[source]);
            glDrawArrays(GL_TRIANGLES, 0, 3);
            source = 1 - source;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindTexture(GL_TEXTURE_2D, textures_[source]);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glUseProgram(0);
        glBindTexture(GL_TEXTURE_2D, 0);
        swap_buffers();
        glFinish();
    }

private:
    static GLuint compile(GLenum type, const char* source) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint ok = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) throw std::runtime_error("floor shader does not compile");
        return shader;
    }

    int width_, height_;
    GLuint fbos_[3] = {};
    GLuint renderbuffers_[2] = {};
    GLuint textures_[2] = {};
    GLuint program_ = 0;
};

// The middle value (the upper one of an even count); 0 for none.
inline double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

}  // namespace render_floor
