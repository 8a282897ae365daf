#include "support/gl_context.h"

#include <SDL.h>

#include <stdexcept>
#include <string>

namespace test_support {

void ensure_gl_context() {
    static SDL_Window* window = nullptr;
    static SDL_GLContext context = nullptr;
    if (context) {
        SDL_GL_MakeCurrent(window, context);
        return;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        throw std::runtime_error(std::string("SDL_Init failed: ") + SDL_GetError());
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
    // Under a busy virtual display GLEW now and then finds no current GLX
    // display right after the context was made; making it current again and
    // retrying settles it.
    glewExperimental = GL_TRUE;
    GLenum err = GLEW_OK;
    for (int attempt = 0; attempt < 5; ++attempt) {
        SDL_GL_MakeCurrent(window, context);
        err = glewInit();
        if (err == GLEW_OK) break;
        SDL_Delay(50);
    }
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
