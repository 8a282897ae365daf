// Strings in a TrueType font, drawn with FTGL into whatever target is bound.
//
// A Text owns one FTGL font made from a font file read through the data
// layer: a buffer font (glyphs rendered into a texture) or an outline font.
// It knows the size of the target it draws into from Reshape, which its owner
// calls whenever that size changes; printing is refused until then.
// print_at places the start of the baseline at fractions of the target and
// scales glyphs by target width / 1280, so face sizes are authored for a
// target 1280 pixels wide. Glyphs take the current OpenGL colour and are drawn
// through one of two "Text" programs, one per font type, shared by every Text
// of that type.
#pragma once

#include <cstdarg>
#include <cstdlib>
#include <memory>
#include <string>

#include "util/math/viewport.h"

class FTFont;
class ShaderConstructor;
class ShaderProgram;

class Text {
public:
    enum FontType { FONT_TYPE_BUFFER = 0, FONT_TYPE_OUTLINE = 1 };

    // Loads the font; `size` is the face size at 72 dpi, i.e. in pixels. A
    // missing file, a file FreeType cannot open as a font and a type other
    // than 0 or 1 end the run.
    Text(const std::string& font_file, int size, int font_type);
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // The size in pixels of the target printed into.
    void Reshape(int width, int height);
    // A new face size (72 dpi); allowed at any time.
    void set_size(unsigned int size);
    // Builds this font type's program on first use and binds it.
    void use_shader();
    // Program, viewport, a pixel projection with the origin at the lower left,
    // identity model-view, white, and the states that would hide glyphs off.
    void set_gl_state();
    // printf-formatted text with its baseline starting at the current
    // model-view origin, in face-size units. A null format prints nothing.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // printf-formatted text with its baseline starting at (x * width,
    // y * height), scaled by width / 1280, widened by x_stretch.
    void print_at(float x, float y, float x_stretch, const char* format, ...)
        __attribute__((format(printf, 5, 6)));

    // Where print_at(x, y, x_stretch, "%s", text) at the current face size
    // can change pixels of the target: the glyphs' box, widened by a few
    // pixels for their soft edges and outset, in target pixels (not clipped
    // to the target; far off it, held a million pixels out). Empty for an
    // empty text and for a place or stretch that is NaN or infinite.
    ViewportRect area_at(float x, float y, float x_stretch, const char* text) const;

    // Formatted text is cut to this many characters, terminating zero included.
    static constexpr int buffer_size = 256;
    // vsnprintf into the buffer: text that does not fit loses its end, and a
    // failed format leaves an empty string.
    static void format_into(char (&buffer)[buffer_size], const char* format, va_list args)
        __attribute__((format(printf, 2, 0)));

    // The builder of the "Text" program of a font type; another type ends the
    // run with the position of the check.
    static std::unique_ptr<ShaderConstructor> make_shader_constructor(int font_type);
    // The program of a font type, shared by every text of that type: made on
    // first use and kept for the context (util/context_cache.h).
    static ShaderProgram& shader(int font_type);

    int font_type;
    // The font file, a malloc block that `font` reads from for as long as
    // it lives: declared first, so that it goes after the font.
    std::unique_ptr<char, decltype(&std::free)> font_data{nullptr, &std::free};
    std::unique_ptr<FTFont> font;
    int width = -1;
    int height = -1;

private:
    // Where print_at puts the text, as fractions of the target.
    struct Placement {
        float x, y, x_stretch;
    };

    // Fatal unless Reshape gave a size of at least 1 x 1.
    void check_size_for_printing() const;
    // Formats and renders at the model-view origin, or placed when a
    // placement is given; a null format prints nothing.
    void print_formatted(const Placement* placement, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));
    // Unbinds units 0 to 7 and renders the text at the model-view origin.
    void render(const char* text);
};
