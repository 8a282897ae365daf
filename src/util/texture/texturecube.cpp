#include "util/texture/texturecube.h"

#include <cstdlib>
#include <cstring>

#include "system/fatal.h"

namespace {

const GLenum kFaceTargets[6] = {
    GL_TEXTURE_CUBE_MAP_NEGATIVE_X, GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
    GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, GL_TEXTURE_CUBE_MAP_POSITIVE_Z,
};

}  // namespace

TextureCube::TextureCube() { init(); }

TextureCube::~TextureCube() {
    if (id) glDeleteTextures(1, &id);
    id = 0;
    for (int face = 0; face < 6; ++face) {
        free(*face_data(face));
        *face_data(face) = nullptr;
    }
}

void TextureCube::init() {
    data_negx = data_posx = data_negy = data_posy = data_negz = data_posz = nullptr;
    bpp = 0;
    width = 0;
    height = 0;
    format = 0;
    id = 0;
    internal_format = 0;
    mipmaps = false;
    wrap = GL_CLAMP_TO_EDGE;
    min_filter = GL_LINEAR;
    mag_filter = GL_LINEAR;
}

unsigned char** TextureCube::face_data(int face) {
    unsigned char** faces[6] = {&data_negx, &data_posx, &data_negy,
                                &data_posy, &data_negz, &data_posz};
    return faces[face];
}

bool TextureCube::load(const std::string& negx, const std::string& posx, const std::string& negy,
                       const std::string& posy, const std::string& negz, const std::string& posz) {
    wrap = GL_CLAMP_TO_EDGE;
    mipmaps = true;
    min_filter = GL_LINEAR_MIPMAP_LINEAR;
    mag_filter = GL_LINEAR;
    bpp = 32;

    const std::string* names[6] = {&negx, &posx, &negy, &posy, &negz, &posz};
    for (int i = 0; i < 6; ++i) {
        // An empty name would load nothing and leave a face without pixels.
        if (names[i]->empty()) FATAL_ERROR("Failed to load texture " << *names[i]);
        if (!tex_array[i].load(*names[i], true, true, GL_LINEAR, GL_LINEAR)) return false;
    }

    width = tex_array[0].get_width();
    height = tex_array[0].get_height();
    for (int i = 1; i < 6; ++i) {
        if (width != tex_array[i].get_width())
            FATAL_ERROR("Failed assert width == tex_array[i].get_width()");
        if (height != tex_array[i].get_height())
            FATAL_ERROR("Failed assert height == tex_array[i].get_height()");
    }

    // The read-back is bottom row first; a cube-map face starts at its top.
    const size_t row = static_cast<size_t>(width) * bpp / 8;
    for (int face = 0; face < 6; ++face) {
        unsigned char* pixels = tex_array[face].get_pixels();
        auto* flipped = static_cast<unsigned char*>(malloc(row * height));
        FATAL_ASSERT(flipped);
        for (uint32_t i = 0; i < height; ++i)
            memcpy(flipped + i * row, pixels + (height - 1 - i) * row, row);
        free(pixels);
        free(*face_data(face));
        *face_data(face) = flipped;
    }

    internal_format = GL_RGBA8;
    format = GL_RGBA;
    return create();
}

bool TextureCube::create() {
    if (id) FATAL_ERROR("Attempt to create an already initialized texture!");
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_CUBE_MAP, id);
    gl_set_filtering(GL_TEXTURE_CUBE_MAP, mipmaps, min_filter, mag_filter);
    // Anisotropic sampling of a cube map reads past a face near its edges on
    // llvmpipe, drawing the cube's edges as dotted black lines; a map seen
    // from inside (a sky) faces the eye and gains nothing from it.
    if (GLEW_EXT_texture_filter_anisotropic) glTexParameterf(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, wrap);

    for (int face = 0; face < 6; ++face)
        glTexImage2D(kFaceTargets[face], 0, internal_format, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, *face_data(face));

    gl_build_mipmaps(GL_TEXTURE_CUBE_MAP, mipmaps);

    for (int face = 0; face < 6; ++face) {
        free(*face_data(face));
        *face_data(face) = nullptr;
    }
    return true;
}

void TextureCube::bind(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_CUBE_MAP, id);
}

void TextureCube::unbind(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}
