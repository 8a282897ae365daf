#include "util/texture/texture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/message_box.h"
#include "system/fatal.h"
#include "util/context_cache.h"
#include "util/data/data.h"
#include "util/easydraw/easydraw.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/image.h"
#include "util/texture/png_loader.h"

bool gl_vendor_is_ati() {
    const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    std::string lower = vendor ? vendor : "";
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("ati ") != std::string::npos;
}

float gl_max_anisotropy() {
    GLfloat anisotropy = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    return anisotropy;
}

void gl_set_filtering(GLenum target, bool mipmaps, GLint min_filter, GLint mag_filter) {
    if (mipmaps) {
        glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, gl_max_anisotropy());
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    } else {
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, min_filter);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, mag_filter);
    }
}

void gl_build_mipmaps(GLenum target, bool mipmaps) {
    if (!mipmaps)
        glTexParameteri(target, GL_GENERATE_MIPMAP, 0);
    else if (gl_vendor_is_ati())
        glTexParameteri(target, GL_GENERATE_MIPMAP, 1);  // set after the upload
    else
        glGenerateMipmap(target);
}

Texture::Texture() { init(); }

Texture::~Texture() { release(); }

void Texture::init() {
    imageData = nullptr;
    bpp = 0;
    width = 0;
    height = 0;
    format = 0;
    id = 0;
    wrap = GL_CLAMP_TO_EDGE;
    internal_format = 0;
    mipmaps = false;
    min_filter = GL_LINEAR;
    mag_filter = GL_LINEAR;
    samples = 0;
}

void Texture::release() {
    if (id) glDeleteTextures(1, &id);
    id = 0;
}

GLenum Texture::get_target() const { return samples ? GL_TEXTURE_2D_MULTISAMPLE : GL_TEXTURE_2D; }

bool Texture::create() {
    const GLenum target = get_target();
    if (id) FATAL_ERROR("Attempt to create an already initialized texture!");
    glGenTextures(1, &id);
    glBindTexture(target, id);

    // A multisample texture has no sampler state and no mipmaps; setting them
    // on GL_TEXTURE_2D would change whatever 2D texture is bound on the unit.
    const bool sampled = samples == 0;
    if (sampled) {
        gl_set_filtering(target, mipmaps, min_filter, mag_filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    }

    GLenum upload_format = format;
    GLenum type = GL_UNSIGNED_BYTE;
    switch (internal_format) {
        case 1:
        case 2:
        case 3:
        case 4:
        case GL_RGBA8:
            break;
        case GL_RGBA32F:
        case GL_RGB32F:
        case GL_RGBA16F:
        case GL_RGB16F:
            type = GL_FLOAT;
            break;
        case GL_DEPTH_COMPONENT16:
        case GL_DEPTH_COMPONENT24:
        case GL_DEPTH_COMPONENT32:
        case GL_DEPTH_COMPONENT32F:
            if (sampled) {
                glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_NONE);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            }
            upload_format = GL_DEPTH_COMPONENT;
            type = GL_FLOAT;
            break;
        default:
            FATAL_ERROR("Unrecognized texture format " << internal_format);
    }
    if (samples)
        glTexImage2DMultisample(target, static_cast<GLsizei>(samples), internal_format,
                                static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_TRUE);
    else
        glTexImage2D(target, 0, internal_format, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, upload_format, type, imageData);

    if (sampled) gl_build_mipmaps(target, mipmaps);

    if (imageData) {
        free(imageData);
        imageData = nullptr;
    }
    return true;
}

bool Texture::create_empty(uint32_t w, uint32_t h, bool mip, bool repeat, GLint internal) {
    wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    mipmaps = mip;
    internal_format = internal;
    min_filter = GL_LINEAR;
    mag_filter = GL_LINEAR;
    format = GL_RGBA;
    bpp = 32;
    width = w;
    height = h;
    return create();
}

bool Texture::create_empty_multisample(uint32_t w, uint32_t h, bool mip, bool repeat,
                                       GLint internal, uint32_t sample_count) {
    samples = sample_count;
    return create_empty(w, h, mip, repeat, internal);
}

bool Texture::resize(uint32_t w, uint32_t h) {
    if (imageData) FATAL_ERROR("Attempted to resize a texture with imageData not null");
    if (!id) FATAL_ERROR("Attempted to resize a texture that is not initialized!");
    glDeleteTextures(1, &id);
    id = 0;
    width = w;
    height = h;
    return create();
}

float Texture::get_aspect() const {
    if (width == 0 || height == 0) FATAL_ERROR("Invalid texture!");
    return static_cast<float>(width) / static_cast<float>(height);
}

unsigned char* Texture::get_pixels() {
    const uint32_t bytespp = bpp / 8;
    FATAL_ASSERT(4 == bytespp);
    auto* tempdata = static_cast<unsigned char*>(malloc(static_cast<size_t>(width) * height * 4));
    FATAL_ASSERT(tempdata);
    bind(0);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, tempdata);
    return tempdata;
}

void Texture::bind(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(get_target(), id);
}

void Texture::bind_and_enable() {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(get_target(), id);
    glEnable(GL_TEXTURE_2D);
}

void Texture::unbind(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void Texture::sample_without_anisotropy() {
    if (!GLEW_EXT_texture_filter_anisotropic) return;
    bind(0);
    glTexParameterf(get_target(), GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
    unbind(0);
}

void Texture::sample_one_level(int level) {
    int last = 0;
    if (mipmaps)
        while ((width >> (last + 1)) > 0 || (height >> (last + 1)) > 0) ++last;
    level = std::clamp(level, 0, last);
    bind(0);
    glTexParameteri(get_target(), GL_TEXTURE_BASE_LEVEL, level);
    glTexParameteri(get_target(), GL_TEXTURE_MAX_LEVEL, level);
    glTexParameteri(get_target(), GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    unbind(0);
}

void Texture::draw(float x, float y, float w, float h) {
    glDisable(GL_DEPTH_TEST);
    bind(0);
    easydraw_quad(x, y, w, h);
}

bool fit_rect(float a, float x, float y, float w, float h, float ratio, FitRect* out) {
    const float aspect_width = a * h / ratio;
    const float aspect_height = w / (a / ratio);
    if (!(aspect_width <= w || aspect_height <= h)) return false;
    if (aspect_height <= h)
        *out = {x, y + (h - aspect_height) * 0.5f, w, aspect_height};
    else
        *out = {x + (w - aspect_width) * 0.5f, y, aspect_width, h};
    return true;
}

void Texture::draw_fit(float x, float y, float w, float h, float ratio) {
    FitRect r;
    if (!fit_rect(get_aspect(), x, y, w, h, ratio, &r))
        FATAL_ERROR("Failed assert aspect_width <= width || aspect_height <= height");
    draw(r.x, r.y, r.width, r.height);
}

void Texture::use_default_shader() {
    static mat4 projection(mat4::PRESET_UNIT_SQUARE);
    ShaderProgram& program = ContextCache::get(
        [] { return std::make_unique<ShaderProgram>(make_shader_texture2d("TextureDefaultShader")); });
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
}

// Loading from files and memory.

Texture::Texture(const std::string& file, bool mip, bool repeat, GLint min, GLint mag) {
    init();
    if (!load(file, mip, repeat, min, mag)) FATAL_ERROR("Failed to load texture " << file);
}

Texture::Texture(const std::string& file, bool mip, bool repeat)
    : Texture(file, mip, repeat, GL_LINEAR, GL_LINEAR) {}

bool Texture::load(const std::string& file, bool mip, bool repeat, GLint min, GLint mag) {
    if (file.empty()) return true;
    wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    mipmaps = mip;
    min_filter = min;
    mag_filter = mag;

    // The last four characters, lower-cased; a shorter name has no
    // extension we know.
    std::string extension = file.size() >= 4 ? file.substr(file.size() - 4) : file;
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    bool loaded = false;
    if (extension == ".png") {
        loaded = load_png(file);
    } else if (extension == ".jpg" || extension == "jpeg") {
        loaded = load_jpg(file);
    } else if (extension == ".bmp") {
        loaded = load_bmp(file);
    } else {
        platform::show_message_box("Unsupported image format!",
                                   "Sorry, image format " + extension +
                                       " is not yet supported.\nTry .tga or .png.",
                                   platform::MessageBoxKind::Plain);
    }
    if (!loaded) FATAL_ERROR(DataFile::failure_message("Failed to load texture " + file, file, load_failure));
    internal_format = static_cast<GLint>(bpp / 8);
    return create();
}

bool Texture::load_png_buffer(const unsigned char* buffer, int32_t size, bool mip, bool repeat,
                              GLint min, GLint mag) {
    if (!buffer) FATAL_ERROR("buffer is NULL");
    FATAL_ASSERT(size > 0);
    wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    mipmaps = mip;
    min_filter = min;
    mag_filter = mag;
    if (!load_png_from_buffer(buffer, size))
        FATAL_ERROR(DataFile::failure_message("Failed to load png texture of size " + std::to_string(size), "",
                                              load_failure));
    internal_format = static_cast<GLint>(bpp / 8);
    return create();
}

namespace {

// The "Invalid texture information" box of the loaders.
void show_invalid_information(const char* loader, int line) {
    platform::show_message_box("ERROR at " + std::string(loader) + ":" + std::to_string(line),
                               "Invalid texture information", platform::MessageBoxKind::Plain);
}

const char kPngLoader[] = "src\\util\\texture\\png_loader";
const char kJpgLoader[] = "src\\util\\texture\\jpg_loader";
const char kBmpLoader[] = "src\\util\\texture\\bmp_loader";

}  // namespace

bool Texture::take_png_image(ZqRawPngDecoder& decoder) {
    decoder.flip_rows();
    width = static_cast<uint32_t>(decoder.width);
    height = static_cast<uint32_t>(decoder.height);
    bpp = static_cast<uint32_t>(4 * decoder.header.bit_depth);
    if (width && height && (bpp == 24 || bpp == 32)) {
        format = bpp == 24 ? GL_RGB : GL_RGBA;
        imageData = decoder.rgba;
        decoder.owns_rgba = 0;
        return true;
    }
    LOG_INFO("Dimensions " << width << "x" << height << ", bpp " << bpp << "\n");
    show_invalid_information(kPngLoader, __LINE__);
    imageData = nullptr;
    load_failure = decoder.failure.empty() ? "bit depth " + std::to_string(decoder.header.bit_depth) + " is not taken"
                                           : decoder.failure;
    return false;
}

bool Texture::load_png(const std::string& file) {
    ZqRawPngDecoder decoder;
    if (decoder.decode_file(file.c_str()) == -1)
        FATAL_ERROR(DataFile::failure_message(std::string(kPngLoader) + ":" + std::to_string(__LINE__) +
                                                  ": Failed to open/decode " + file + "!\n",
                                              file, decoder.failure));
    return take_png_image(decoder);
}

bool Texture::load_png_from_buffer(const unsigned char* buffer, int32_t size) {
    ZqRawPngDecoder decoder;
    if (decoder.decode(buffer, static_cast<uint32_t>(size)) == -1)
        FATAL_ERROR(DataFile::failure_message(std::string(kPngLoader) + ":" + std::to_string(__LINE__) +
                                                  ": Failed to open/decode png buffer of size " +
                                                  std::to_string(size) + "!\n",
                                              "", decoder.failure));
    return take_png_image(decoder);
}

bool Texture::take_image(const Image& image, const char* loader, int line) {
    width = static_cast<uint32_t>(image.get_width());
    height = static_cast<uint32_t>(image.get_height());
    bpp = image.get_channels() == 3 ? 32 : 0;
    imageData = nullptr;
    if (width && height && (bpp == 24 || bpp == 32)) {
        format = bpp == 24 ? GL_RGB : GL_RGBA;
        imageData = image.to_rgba();
        if (imageData) return true;
    }
    load_failure = width && height ? "no memory for its pixels" : "no pixels";
    show_invalid_information(loader, line);
    return false;
}

bool Texture::load_jpg(const std::string& file) {
    Image image(3);
    if (!image.read_jpeg(file.c_str()))
        FATAL_ERROR(DataFile::absence_message("Failed reading " + file + "\n", file));
    return take_image(image, kJpgLoader, __LINE__);
}

bool Texture::load_bmp(const std::string& file) {
    Image image(3);
    const int code = image.read_bmp(file.c_str());
    const std::string text = "Failed reading " + file + ", error code " + std::to_string(code) + "\n";
    // Code 1: the data layer has no such file.
    if (code == 1) FATAL_ERROR(DataFile::absence_message(text, file));
    if (code != 0) FATAL_ERROR(DataFile::failure_message(text, file, image.get_refusal()));
    return take_image(image, kBmpLoader, __LINE__);
}
