#include "effects/skybox.h"

#include <GL/glew.h>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

SkyBox::SkyBox()
    : shader(std::make_unique<ShaderProgram>("data/effects/skybox/skybox.vert", "data/effects/skybox/skybox.frag")) {}

SkyBox::~SkyBox() = default;

void SkyBox::init(const vec3& position_, float size, const char* base, const char* extension) {
    if (initialised) FATAL_ERROR("SkyBox::init() called twice!");
    position = position_;
    scale = size * 2.0f;

    // Only the first scheme's "negx" is probed. The probe asks the data
    // layer, not the disk: the program normally reads only the archive.
    std::array<std::string, 6> faces = skybox_face_files(base, extension, SkyBoxNaming::Axes);
    if (!DataFile::exists(faces[NegX].c_str())) faces = skybox_face_files(base, extension, SkyBoxNaming::Sides);

    // A face that is not there ends the run with this message, rather than
    // the picture decoder's, so it names the sky box that wanted it.
    bool loaded = true;
    for (const std::string& face : faces) loaded = loaded && DataFile::exists(face.c_str());
    loaded = loaded && cubemap.load(faces[0], faces[1], faces[2], faces[3], faces[4], faces[5]);
    if (!loaded) FATAL_ERROR("Failed to load cubemap with base " << base << " and extension " << extension << "!");
    initialised = true;
}

void SkyBox::render(float) {
    if (!initialised) FATAL_ERROR("SkyBox::render() called without initializing effect!");
    shader->bind();
    for (GLenum cap : {GL_ALPHA_TEST, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                       GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q, GL_CULL_FACE})
        glDisable(cap);
    glEnable(GL_TEXTURE_CUBE_MAP);
    cubemap.bind(0);

    glPushMatrix();
    glMultMatrixf(skybox_model(position, scale).data());
    glColor3f(colour.x, colour.y, colour.z);
    glBegin(GL_TRIANGLES);
    for (uint8_t index : kSkyBoxIndices) {
        const float* corner = kSkyBoxCorners[index];
        glTexCoord3f(corner[0], corner[1], corner[2]);
        glVertex3f(corner[0], corner[1], corner[2]);
    }
    glEnd();
    glPopMatrix();

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    TextureCube::unbind(0);
    glDisable(GL_TEXTURE_CUBE_MAP);
}

}  // namespace Effects
