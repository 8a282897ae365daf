#include "util/ascii/ascii_engine.h"

#include <GL/glew.h>

#include "system/fatal.h"
#include "util/ascii/font_sheet.h"
#include "util/context_cache.h"
#include "util/data/loadingscreen.h"
#include "util/easydraw/easydrawcustom.h"
#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

FBO& ascii_target() {
    return ContextCache::get([] {
        return std::make_unique<FBO>(AsciiEngine::kTargetWidth, AsciiEngine::kTargetHeight, FBO_TYPE_RGBA8_MIPMAP, 0);
    });
}

namespace {

// Every cell is one instance of a unit quad: its column, its row counted
// from the bottom, its character and its two palette indices come as one
// vec4, the palette as a uniform array. The fragment's colour is the
// foreground where the glyph is white and the background where it is black.
std::unique_ptr<ShaderProgram> make_render_program() {
    auto s = std::make_unique<ShaderConstructor>("AsciiEngine render", "#version 420");
    s->add_vert_global("uniform mat4 ProjectionMatrix;");
    s->add_vert_global("uniform vec4 Palette[16];");
    s->add_vert_global("layout (location = 0) in vec2 Position;");
    s->add_vert_global("layout (location = 4) in vec4 Cell;");
    s->add_vert_global("out vec2 TexCoordFrag;");
    s->add_vert_global("flat out vec4 ColorFg;");
    s->add_vert_global("flat out vec4 ColorBg;");
    s->add_vert_body("\tint ch = int( Cell.z );");
    s->add_vert_body("\tint colours = int( Cell.w );");
    s->add_vert_body("\tgl_Position = ProjectionMatrix * vec4( Cell.xy + Position, 0.0, 1.0 );");
    s->add_vert_body(
        "\tTexCoordFrag = vec2( float( ch % 80 ) + Position.x, float( 9 - ch / 80 ) + Position.y ) * vec2( 0.0125, 0.1 );");
    s->add_vert_body("\tColorFg = Palette[colours & 15];");
    s->add_vert_body("\tColorBg = Palette[( colours >> 4 ) & 15];");
    s->add_frag_global("uniform sampler2D Texture;");
    s->add_frag_global("in vec2 TexCoordFrag;");
    s->add_frag_global("flat in vec4 ColorFg;");
    s->add_frag_global("flat in vec4 ColorBg;");
    s->add_frag_global("out vec4 FragColor;");
    s->add_frag_body("vec4 texel = texture( Texture, TexCoordFrag );");
    s->add_frag_body("FragColor = vec4( vec3( 1.0 ) - texel.rgb, 1.0 ) * ColorBg + texel * ColorFg;");
    return std::make_unique<ShaderProgram>(std::move(s));
}

}  // namespace

AsciiEngine::AsciiEngine() {
    if (!font_.load_png_buffer(kAsciiFontSheetPng, kAsciiFontSheetPngSize, false, false, GL_NEAREST,
                               GL_NEAREST))
        FATAL_ERROR("Failed to load texture!");
    fbo_ = &ascii_target();
    program_ = make_render_program();
    quads_ = std::make_unique<EasyDrawObject>();
}

AsciiEngine::~AsciiEngine() { font_.release(); }

void AsciiEngine::render() {
    render_to_target();
    present();
}

void AsciiEngine::render_to_target() {
    fbo_->push(true);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_LIGHTING);
    // Each cell lands on black exactly once, so adding keeps its colour.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glViewport(0, 0, kTargetWidth, kTargetHeight);

    mat4 projection;
    projection.ortho(0.0f, kCols, 0.0f, kRows, -1.0f, 1.0f);
    font_.bind_and_enable();
    program_->bind();
    program_->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);

    program_->set_uniform4fv("Palette", &kAsciiPalette[0][0], 16);

    // One instanced draw for the 4000 cells: a draw call per cell costs the
    // CPU renderer far more than the pixels do.
    static const float corners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            const int i = row * kCols + col;
            float* cell = &cells_[i * 4];
            cell[0] = static_cast<float>(col);
            cell[1] = static_cast<float>(kRows - 1 - row);
            cell[2] = static_cast<float>(chars_[i]);
            // Palette indices are kept to 0..15: a caller's larger value
            // must not reach past the palette.
            cell[3] = static_cast<float>((fg_[i] & 15) | (bg_[i] & 15) << 4);
        }
    }
    quads_->set_attribute(0, 2, 8, corners, 0);
    quads_->set_attribute(4, 4, kCells * 4, cells_.data(), 1);
    quads_->draw(GL_QUADS);
    fbo_->pop();
}

void AsciiEngine::present() {
    Texture::use_default_shader();
    glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    fbo_->draw();
}

void AsciiEngine::letterbox(int width, int height, float aspect) {
    viewport_ = ::letterbox(width, height, aspect);
}
