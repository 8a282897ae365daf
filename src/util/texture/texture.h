// The one 2D texture type: loaded from a PNG, JPEG or BMP file (chosen by the
// name's ending) or a PNG in memory, or created empty as a render-target
// attachment, optionally multisampled. Decoded pixels live on the CPU only
// from decoding to upload. Rows are uploaded bottom row first, so texture
// coordinate (0, 0) is the picture's lower-left corner.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>

class Image;
class ZqRawPngDecoder;

// Where a picture of aspect `picture_aspect` (width / height) goes inside the
// rectangle (x, y, width, height) so that it keeps its shape on a target of
// pixel aspect `ratio`: the whole width, centred vertically, when the
// rectangle is at least as tall as that needs, else the whole height,
// centred horizontally. False when neither fits, which only a non-finite
// rectangle or aspect can cause.
struct FitRect {
    float x, y, width, height;
};
bool fit_rect(float picture_aspect, float x, float y, float width, float height, float ratio,
              FitRect* out);

class Texture {
public:
    Texture();
    // Loads the file; a failed load ends the run ("Failed to load texture ").
    Texture(const std::string& file, bool mipmaps, bool repeat, GLint min_filter, GLint mag_filter);
    Texture(const std::string& file, bool mipmaps, bool repeat);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Loads and uploads an image file read through the data layer. An empty
    // name does nothing and returns true; every failure ends the run.
    bool load(const std::string& file, bool mipmaps, bool repeat, GLint min_filter,
              GLint mag_filter);
    // Decodes and uploads a PNG held in memory.
    bool load_png_buffer(const unsigned char* buffer, int32_t size, bool mipmaps, bool repeat,
                         GLint min_filter, GLint mag_filter);

    // Uploads the current fields as a new GL texture; true when it returns.
    bool create();
    bool create_empty(uint32_t width, uint32_t height, bool mipmaps, bool repeat,
                      GLint internal_format);
    bool create_empty_multisample(uint32_t width, uint32_t height, bool mipmaps, bool repeat,
                                  GLint internal_format, uint32_t samples);
    // A new GL texture of the new size with the other fields unchanged.
    bool resize(uint32_t width, uint32_t height);
    // Deletes the GL texture, if any.
    void release();

    GLuint get_id() const { return id; }
    uint32_t get_width() const { return width; }
    uint32_t get_height() const { return height; }
    uint32_t get_samples() const { return samples; }
    bool has_mipmaps() const { return mipmaps; }
    GLenum get_target() const;
    float get_aspect() const;
    // Level 0 as width x height x 4 bytes (malloc, the caller frees), bottom
    // row first.
    unsigned char* get_pixels();

    // Makes the unit active (it stays active) and binds the texture there.
    void bind(int unit);
    void bind_and_enable();
    // Binds no 2D texture on the unit, then makes unit 0 active.
    static void unbind(int unit);
    // Plain trilinear sampling from now on, without the anisotropic
    // filtering mipmapped textures get: on llvmpipe anisotropic lookups cost
    // several times a plain one. Leaves unit 0 active with no 2D texture.
    void sample_without_anisotropy();
    // Bilinear sampling of the one mipmap level `level` (clamped to the
    // levels there are) from now on: no level of detail is worked out per
    // pixel and no two levels are blended. For pictures drawn at about that
    // level's size, the blend of two levels costs most of a lookup on
    // llvmpipe and softens them only a little. Leaves unit 0 active with no
    // 2D texture.
    void sample_one_level(int level);

    // The texture over (x, y)..(x + w, y + h) on unit 0 through the bound
    // program; switches the depth test off.
    void draw(float x, float y, float w, float h);
    // As large as fits into the rectangle, keeping the aspect (`ratio` is the
    // pixel aspect of the target), centred along the axis with room to spare.
    void draw_fit(float x, float y, float width, float height, float ratio);
    // Binds the shared "TextureDefaultShader" with the unit-square projection.
    static void use_default_shader();

private:
    void init();
    // The decoders' glue: each fills imageData (rows bottom first), width,
    // height, bpp and format, or shows "Invalid texture information" and
    // returns false. Unreadable files end the run here.
    bool load_png(const std::string& file);
    bool load_png_from_buffer(const unsigned char* buffer, int32_t size);
    bool take_png_image(ZqRawPngDecoder& decoder);
    bool load_jpg(const std::string& file);
    bool load_bmp(const std::string& file);
    bool take_image(const Image& image, const char* loader, int line);

    unsigned char* imageData;
    uint32_t bpp;
    uint32_t width;
    uint32_t height;
    GLenum format;
    GLuint id;
    GLint wrap;
    GLint internal_format;
    bool mipmaps;
    GLint min_filter;
    GLint mag_filter;
    uint32_t samples;
    // Why the last load gave no picture, for the message the run ends with.
    std::string load_failure;
};

// Shared by the texture types. Whether GL_VENDOR names an "ati " driver, and
// the highest anisotropy the driver offers (1 when the extension is missing).
bool gl_vendor_is_ati();
float gl_max_anisotropy();
// On the bound texture of `target`: with mipmaps the highest anisotropy and
// trilinear filtering, else the two filters given.
void gl_set_filtering(GLenum target, bool mipmaps, GLint min_filter, GLint mag_filter);
// After the upload: builds the mipmap chain (GL_GENERATE_MIPMAP on an "ati "
// driver, glGenerateMipmap otherwise), or switches generation off.
void gl_build_mipmaps(GLenum target, bool mipmaps);
