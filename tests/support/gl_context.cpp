#include "support/gl_context.h"

#include <SDL.h>

#include <stdexcept>
#include <string>

#include "system/sdl_video.h"

namespace test_support {

void ensure_gl_context() {
    static SDL_Window* window = nullptr;
    static SDL_GLContext context = nullptr;
    if (context) {
        SDL_GL_MakeCurrent(window, context);
        return;
    }
    // On the X driver only: when the virtual display drops the connection
    // (it resets as its last client leaves), SDL would quietly draw
    // offscreen through EGL, where GLEW finds no GLX display.
    std::string why;
    if (!sdl_video_connect(30.0, why))
        throw std::runtime_error("SDL's video layer could not connect to the display: " + why);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window = SDL_CreateWindow("gl tests", 0, 0, 256, 256, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) throw std::runtime_error(std::string("SDL_CreateWindow failed: ") + SDL_GetError());
    context = SDL_GL_CreateContext(window);
    if (!context) throw std::runtime_error(std::string("SDL_GL_CreateContext failed: ") + SDL_GetError());
    glewExperimental = GL_TRUE;
    const GLenum err = glewInit();
    if (err != GLEW_OK)
        throw std::runtime_error(std::string("glewInit failed (") + std::to_string(err) +
                                 "): " + reinterpret_cast<const char*>(glewGetErrorString(err)));
    while (glGetError() != GL_NO_ERROR) {
    }
}

void reset_gl_state() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    GLint attributes = 0;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &attributes);
    for (GLint i = 0; i < attributes; ++i) {
        glDisableVertexAttribArray(static_cast<GLuint>(i));
        glVertexAttribDivisor(static_cast<GLuint>(i), 0);
    }
    for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY})
        glDisableClientState(array);

    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    GLint fixed_units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &fixed_units);
    for (GLint i = units - 1; i >= 0; --i) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, 0);
        if (i < fixed_units) {
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_CUBE_MAP);
            glMatrixMode(GL_TEXTURE);
            glLoadIdentity();
        }
    }
    glClientActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    for (GLenum off : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_ALPHA_TEST,
                       GL_LIGHTING, GL_POLYGON_OFFSET_FILL, GL_POINT_SPRITE, GL_PROGRAM_POINT_SIZE,
                       GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_FOG, GL_COLOR_MATERIAL, GL_NORMALIZE,
                       GL_TEXTURE_CUBE_MAP_SEAMLESS})
        glDisable(off);
    for (GLenum on : {GL_DITHER, GL_MULTISAMPLE}) glEnable(on);
    glBlendFunc(GL_ONE, GL_ZERO);
    glBlendEquation(GL_FUNC_ADD);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPolygonOffset(0.0f, 0.0f);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    int width = 0, height = 0;
    if (SDL_Window* window = SDL_GL_GetCurrentWindow()) SDL_GL_GetDrawableSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
}

std::vector<unsigned char> read_pixels(int x, int y, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace test_support
