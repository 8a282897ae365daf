#include "util/vectorengine/vectorengine.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "util/context_cache.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/vectorengine/path.h"

std::unique_ptr<ShaderConstructor> VectorEngine::make_shader_constructor() {
    auto builder = std::make_unique<ShaderConstructor>("VectorEngine", "#version 120");
    builder->add_vert_body("\tgl_Position = ftransform();");
    builder->add_vert_body("\tgl_FrontColor = gl_Color;");
    builder->add_frag_body("\tgl_FragColor = gl_Color;");
    return builder;
}

ShaderProgram& VectorEngine::shader() {
    return ContextCache::get([] { return std::make_unique<ShaderProgram>(make_shader_constructor()); });
}

VectorEngine::VectorEngine() {
    // Every engine draws with the same text; one program serves them all.
    shader();
}

VectorFrame VectorEngine::frame() const {
    const float w = static_cast<float>(width) / scale.x;
    const float h = static_cast<float>(height) / scale.y;
    return {w, h, w * position.x, h * position.y};
}

void VectorEngine::draw() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    shader().bind();

    const VectorFrame f = frame();
    glPushAttrib(GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, f.width, f.height, 0.0);
    glTranslatef(f.shift_x, f.shift_y, 0.0f);

    for (Path* path : paths) path->draw();

    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
