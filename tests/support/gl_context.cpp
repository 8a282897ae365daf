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

std::vector<unsigned char> read_pixels(int x, int y, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace test_support
