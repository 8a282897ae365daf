// The loading-screen styles: a progress bar under the production's logo,
// the ASCII screen, or glowing circles.
#include "util/data/loadingscreen_styles.h"

#include <GL/glew.h>

#include <cstdint>
#include <string>

#include "system/fatal.h"
#include "util/ascii/ascii_engine.h"
#include "util/context_cache.h"
#include "util/data/loadingscreen.h"
#include "util/easydraw/easydraw.h"
#include "util/easydraw/easydrawcustom.h"
#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace LoadingScreen {
namespace {

constexpr uint32_t kPositionSlot = 0;

// The bar's frame and the thickness of its borders (in x; in y it is scaled
// by the aspect ratio).
constexpr float kLeft = 0.1f;
constexpr float kRight = 0.9f;
constexpr float kBottom = 0.05f;
constexpr float kTop = 0.1f;
constexpr float kBorder = 0.005f;

// What the styles draw with is made on first use and kept for the context
// (util/context_cache.h), the logo among it.
struct Logo {
    std::unique_ptr<Texture> texture;
};

Logo& kept_logo() {
    return ContextCache::get([] { return std::make_unique<Logo>(); });
}

const mat4& unit_square() {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    return projection;
}

void set_colour_and_projection(ShaderProgram& program, float brightness) {
    program.set_uniform4f("Color", brightness, brightness, brightness, brightness);
    program.set_uniform_matrix4fv("ProjectionMatrix", unit_square().data(), 1, false);
}

std::unique_ptr<ShaderProgram> make_circles_program() {
    auto s = std::make_unique<ShaderConstructor>("CirclesLoadingScreenShader", "#version 420");
    s->add_vert_global("uniform mat4 ProjectionMatrix;");
    s->add_vert_global("out vec2 FragPosition;");
    s->add_vert_global("layout (location = " + std::to_string(kPositionSlot) + ") in vec2 Position;");
    s->add_vert_body("\tFragPosition = Position;");
    s->add_vert_body("\tgl_Position = ProjectionMatrix * vec4( Position, 0.0, 1.0 );");
    s->add_frag_global("uniform vec4 Color;");
    s->add_frag_global("uniform float Progress;");
    s->add_frag_global("out vec4 FragColor;");
    s->add_frag_global("in vec2 FragPosition;");
    s->add_frag_body("float intensity = 0.0;");
    s->add_frag_body(
        "float distance = sqrt( pow( 0.1 - FragPosition.x, 2 ) + pow( 0.1 - FragPosition.y, 2 ) );");
    s->add_frag_body("distance -= Progress * 0.5;");
    s->add_frag_body("intensity += Progress / ( distance * 1.8 );");
    s->add_frag_body("\tFragColor = Color * intensity;");
    return std::make_unique<ShaderProgram>(std::move(s));
}

}  // namespace

void clear_all_buffers() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT);
}

std::array<float, 40> progress_bar_corners(int done, int total, float aspect) {
    const float tx = kBorder;
    const float ty = kBorder * aspect;
    const float f = kLeft + (kRight - kLeft) * progress_fraction(done, total);
    return {
        kLeft, kTop, kRight, kTop, kRight, kTop - ty, kLeft, kTop - ty,                    // top
        kLeft, kBottom, kRight, kBottom, kRight, kBottom + ty, kLeft, kBottom + ty,        // bottom
        kLeft, kTop, kLeft - tx, kTop, kLeft - tx, kBottom, kLeft, kBottom,                // left
        kRight, kTop, kRight + tx, kTop, kRight + tx, kBottom, kRight, kBottom,            // right
        kLeft, kTop, f, kTop, f, kBottom, kLeft, kBottom,                                  // fill
    };
}

float progress_bar_brightness(float alpha, int done, int total) {
    return done <= total / 2 ? 1.0f : alpha;
}

void draw_progress_bar(float alpha, int /*width*/, int /*height*/, int done, int total) {
    clear_all_buffers();
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);

    ShaderProgram& bar_program =
        ContextCache::get([] { return std::make_unique<ShaderProgram>(make_shader_color2d("ProgressBar")); });
    ShaderProgram& logo_program = ContextCache::get(
        [] { return std::make_unique<ShaderProgram>(make_shader_texture_color2d("ProgressBarTexture")); });
    EasyDrawObject& bar = ContextCache::get([] { return std::make_unique<EasyDrawObject>(); });
    static std::array<float, 40> corners;
    static uint32_t indices[20];

    const float brightness = progress_bar_brightness(alpha, done, total);
    if (Texture* tex_loading = logo()) {
        logo_program.bind();
        set_colour_and_projection(logo_program, brightness);
        tex_loading->draw(0.0f, 0.0f, 1.0f, 1.0f);
    }

    bar_program.bind();
    set_colour_and_projection(bar_program, brightness);
    corners = progress_bar_corners(done, total, LoadingScreen::aspect());
    for (uint32_t i = 0; i < 20; ++i) indices[i] = i;
    bar.set_attribute(kPositionSlot, 2, static_cast<uint32_t>(corners.size()), corners.data(), 0);
    bar.set_indices(20, indices);
    bar.draw(GL_QUADS);
}

int ascii_bar_length(int done, int total) {
    if (total <= 0) return 1;
    return static_cast<int>(3LL * done / total) + 1;
}

void put_ascii_bar(AsciiScreen& screen, int done, int total) {
    const int length = ascii_bar_length(done, total);
    // Three rows of shades, lightest on top, three rows above the bottom
    // edge. Cells are never cleared: the bar does not shrink when the
    // counter of the disk modes starts again at 0.
    for (int k = 0; k < length && k < AsciiScreen::kCols; ++k) {
        screen.put_char(46, k, 0xB2, 15, 0);
        screen.put_char(45, k, 0xB1, 15, 0);
        screen.put_char(44, k, 0xB0, 15, 0);
    }
}

void draw_ascii(float /*alpha*/, int width, int height, int done, int total) {
    clear_all_buffers();
    AsciiEngine& engine = ContextCache::get([] { return std::make_unique<AsciiEngine>(); });
    engine.letterbox(width, height, 4.0f / 3.0f);
    put_ascii_bar(engine, done, total);

    // The screen is presented at 4:3 into a target of the viewport's size
    // (as first seen), which then fills the loading screen's viewport.
    FBO& target = ContextCache::get([=] { return std::make_unique<FBO>(width, height, FBO_TYPE_RGBA8, 0); });
    target.push(true);
    engine.render();
    target.pop();

    ShaderProgram& program =
        ContextCache::get([] { return std::make_unique<ShaderProgram>(make_shader_texture2d("SceneManager")); });
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", unit_square().data(), 1, false);
    target.draw();
}

void draw_circles(float alpha, int /*width*/, int /*height*/, int done, int total) {
    clear_all_buffers();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);

    ShaderProgram& circles_program = ContextCache::get([] { return make_circles_program(); });

    circles_program.bind();
    circles_program.set_uniform4f("Color", alpha, alpha, alpha, alpha);
    circles_program.set_uniform1f("Progress", progress_fraction(done, total) * 0.07f);
    circles_program.set_uniform_matrix4fv("ProjectionMatrix", unit_square().data(), 1, false);
    easydraw_fullscreen_quad();
}

void draw_style(int style, float alpha, int width, int height, int done, int total) {
    switch (style) {
        case LoadingScreenStyle::ProgressBar: draw_progress_bar(alpha, width, height, done, total); break;
        case LoadingScreenStyle::Ascii: draw_ascii(alpha, width, height, done, total); break;
        case LoadingScreenStyle::Circles: draw_circles(alpha, width, height, done, total); break;
        default: FATAL_ERROR("Unknown loading screen");
    }
}

Texture* logo() { return kept_logo().texture.get(); }

void set_logo(std::unique_ptr<Texture> texture) { kept_logo().texture = std::move(texture); }

}  // namespace LoadingScreen
