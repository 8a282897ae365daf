// A cube-map texture made from six picture files, one per face. Each face is
// loaded as an ordinary Texture, read back from the GPU, turned top row first
// (the cube-map convention) and uploaded into one GL_TEXTURE_CUBE_MAP.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>

#include "util/texture/texture.h"

class TextureCube {
public:
    TextureCube();
    ~TextureCube();
    TextureCube(const TextureCube&) = delete;
    TextureCube& operator=(const TextureCube&) = delete;

    // The faces in the order -X, +X, -Y, +Y, -Z, +Z. All must have one size;
    // a face that cannot be loaded (an empty name included) ends the run.
    bool load(const std::string& negx, const std::string& posx, const std::string& negy,
              const std::string& posy, const std::string& negz, const std::string& posz);
    // Uploads the six face buffers.
    bool create();

    // Makes the unit active and binds the cube map there.
    void bind(int unit);
    // Binds no cube map on the unit; the unit stays active.
    static void unbind(int unit);

    GLuint get_id() const { return id; }
    uint32_t get_width() const { return width; }
    uint32_t get_height() const { return height; }

private:
    void init();
    // The face buffers in face order.
    unsigned char** face_data(int face);

    Texture tex_array[6];
    unsigned char* data_negx;
    unsigned char* data_posx;
    unsigned char* data_negy;
    unsigned char* data_posy;
    unsigned char* data_negz;
    unsigned char* data_posz;
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
};
