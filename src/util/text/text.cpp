#include "util/text/text.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <FTGL/ftgl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "system/fatal.h"
#include "util/context_cache.h"
#include "util/data/data.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

// FreeType's own table of its error texts (its header's documented way to
// build one: this build of the library keeps no strings of its own).
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
namespace {
const struct {
    int code;
    const char* text;
} kFreeTypeErrors[] =
#include FT_ERRORS_H

// Why FreeType could not open a face, for the message (the low byte is
// the error, the rest the module that gave it).
std::string freetype_reason(int code) {
    for (const auto& e : kFreeTypeErrors)
        if (e.code == (code & 0xFF) && e.text) return std::string("FreeType: ") + e.text;
    return "FreeType error " + std::to_string(code);
}

// Target widths are measured against this: a face size of N is N pixels tall
// on a target this wide.
constexpr float authored_width = 1280.0f;
// Far beyond any target's side (a million pixels), yet twice of it fits an int.
constexpr float kFarOff = 1.0e6f;
constexpr int texture_units_cleared = 8;

}  // namespace

Text::Text(const std::string& font_file, int size, int type) : font_type(type) {
    int32_t length = 0;
    // Text mode: the buffer carries a zero byte at its end, counted in the
    // length. FTGL reads glyph outlines from it as long as the font lives, so
    // the Text keeps it until the font is gone.
    font_data.reset(DataFile::load(font_file.c_str(), "rb", &length, true, false));
    if (!font_data)
        FATAL_ERROR(DataFile::absence_message("Failed to open font file " + font_file, font_file));

    const auto* buffer = reinterpret_cast<const unsigned char*>(font_data.get());
    if (font_type == FONT_TYPE_BUFFER)
        font = std::make_unique<FTBufferFont>(buffer, static_cast<size_t>(length));
    else if (font_type == FONT_TYPE_OUTLINE)
        font = std::make_unique<FTOutlineFont>(buffer, static_cast<size_t>(length));
    else
        FATAL_ERROR("Unknown font type " << font_type);

    // FTGL always hands back an object; one whose face FreeType could not
    // open is no font at all.
    const int error = font->Error();
    if (error != 0) font.reset();
    if (!font)
        FATAL_ERROR(DataFile::failure_message("Failed to create font from " + font_file, font_file,
                                              freetype_reason(error)));

    font->CharMap(ft_encoding_unicode);
    font->FaceSize(static_cast<unsigned int>(size), 72);
    font->Outset(1.0f);
    width = -1;
    height = -1;
}

Text::~Text() = default;

void Text::Reshape(int w, int h) {
    width = w;
    height = h;
}

void Text::set_size(unsigned int size) {
    // FTGL drops every cached glyph on FaceSize, so callers that set the size
    // each frame would rasterise every glyph anew; an unchanged size is left.
    if (font->FaceSize() != size) font->FaceSize(size, 72);
}

std::unique_ptr<ShaderConstructor> Text::make_shader_constructor(int type) {
    auto builder = std::make_unique<ShaderConstructor>("Text", "#version 120");
    builder->add_vert_body("\tgl_TexCoord[0] = gl_MultiTexCoord0;");
    builder->add_vert_body("\tgl_Position = ftransform();");
    builder->add_vert_body("\tgl_FrontColor = gl_Color;");
    if (type == FONT_TYPE_BUFFER) {
        // The glyph texture holds coverage in alpha; it scales the whole colour.
        builder->add_frag_global("uniform sampler2D tex;");
        builder->add_frag_body("\tgl_FragColor = texture2D( tex, gl_TexCoord[0].st ).a * gl_Color;");
    } else if (type == FONT_TYPE_OUTLINE) {
        builder->add_frag_body("\tgl_FragColor = gl_Color;");
    } else {
        FATAL_ERROR("Invalid font type at " << fatal::site_path(__FILE__) << ":" << __LINE__);
    }
    return builder;
}

ShaderProgram& Text::shader(int font_type) {
    // Another type never gets a slot: the builder ends the run first.
    if (font_type != FONT_TYPE_BUFFER && font_type != FONT_TYPE_OUTLINE)
        make_shader_constructor(font_type);
    using ByType = std::array<std::unique_ptr<ShaderProgram>, 2>;
    ByType& programs = ContextCache::get([] { return std::make_unique<ByType>(); });
    std::unique_ptr<ShaderProgram>& program = programs[font_type];
    if (!program) program = std::make_unique<ShaderProgram>(make_shader_constructor(font_type));
    return *program;
}

void Text::use_shader() {
    // The sampler keeps its default, texture unit 0.
    shader(font_type).bind();
}

void Text::set_gl_state() {
    if (width < 1 || height < 1)
        FATAL_ERROR("Can't set gl state before calling Text::Reshape() at least once!");
    use_shader();
    glViewport(0, 0, width, height);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, width, 0.0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_SCISSOR_TEST);
}

void Text::format_into(char (&buffer)[buffer_size], const char* format, va_list args) {
    if (vsnprintf(buffer, buffer_size, format, args) < 0) buffer[0] = '\0';
}

void Text::check_size_for_printing() const {
    if (width < 1 || height < 1)
        FATAL_ERROR("Can't print before calling Text::Reshape() at least once!");
}

void Text::render(const char* text) {
    for (int unit = 0; unit < texture_units_cleared; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    font->Render(text, -1, FTPoint(), FTPoint(), FTGL::RENDER_ALL);
}

ViewportRect Text::area_at(float x, float y, float x_stretch, const char* text) const {
    if (!text || !*text) return {};
    const FTBBox box = font->BBox(text);
    // As print_formatted places the text: the baseline's start at the
    // fractions of the target, glyphs scaled by width / 1280, widened.
    const float scale = static_cast<float>(width) / authored_width;
    const float sx = scale * x_stretch, sy = scale;
    const float ox = static_cast<float>(width) * x, oy = static_cast<float>(height) * y;
    float x0 = ox + box.Lower().Xf() * sx, x1 = ox + box.Upper().Xf() * sx;
    float y0 = oy + box.Lower().Yf() * sy, y1 = oy + box.Upper().Yf() * sy;
    if (x0 > x1) std::swap(x0, x1);  // a negative stretch mirrors the text
    if (y0 > y1) std::swap(y0, y1);
    // The glyph pictures' outset and filtered edges reach past the outlines'
    // box by a unit or two of the face, scaled, and by a pixel of filtering.
    const float margin_x = 3.0f * std::fabs(sx) + 2.0f, margin_y = 3.0f * std::fabs(sy) + 2.0f;
    float sides[4] = {x0 - margin_x, y0 - margin_y, x1 + margin_x, y1 + margin_y};
    for (float& side : sides) {
        // Track values place the text: a NaN or infinite place draws nothing
        // that can be bounded (and has no integer), and one far off the
        // target is held where the width still fits an int.
        if (!std::isfinite(side)) return {};
        side = std::clamp(side, -kFarOff, kFarOff);
    }
    const int left = static_cast<int>(std::floor(sides[0]));
    const int bottom = static_cast<int>(std::floor(sides[1]));
    const int right = static_cast<int>(std::ceil(sides[2]));
    const int top = static_cast<int>(std::ceil(sides[3]));
    return {left, bottom, right - left, top - bottom};
}

void Text::print(const char* format, ...) {
    check_size_for_printing();
    va_list args;
    va_start(args, format);
    print_formatted(nullptr, format, args);
    va_end(args);
}

void Text::print_at(float x, float y, float x_stretch, const char* format, ...) {
    check_size_for_printing();
    const Placement placement{x, y, x_stretch};
    va_list args;
    va_start(args, format);
    print_formatted(&placement, format, args);
    va_end(args);
}

void Text::print_formatted(const Placement* placement, const char* format, va_list args) {
    if (!format) return;
    char buffer[buffer_size];
    format_into(buffer, format, args);
    if (!placement) {
        render(buffer);
        return;
    }
    const float scale = static_cast<float>(width) / authored_width;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(static_cast<float>(width) * placement->x, static_cast<float>(height) * placement->y,
                 0.0f);
    glScalef(scale * placement->x_stretch, scale, scale);
    render(buffer);
    glPopMatrix();
}
