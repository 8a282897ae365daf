#include "effects/flag/flag.h"

#include <GL/glu.h>

#include <cmath>

#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

float flag_angle(float time) {
    float angle = 2.0f * time;
    if (!std::isfinite(angle)) return 0.0f;
    // One remainder in place of stepping by 360, which never ends for huge
    // times; the steps would stop at 360 rather than 0 coming down.
    if (angle > 360.0f) {
        angle = std::fmod(angle, 360.0f);
        if (angle == 0.0f) angle = 360.0f;
    } else if (angle < 0.0f) {
        angle = std::fmod(angle, 360.0f);
        if (angle < 0.0f) angle += 360.0f;
        angle += 0.0f;  // -0 reads as 0
    }
    return angle;
}

namespace {

const int kColumns = 29;
const int kRows = 20;

std::unique_ptr<ShaderConstructor> flag_program(const char* name, bool wave) {
    auto s = std::make_unique<ShaderConstructor>(name, "#version 420");
    if (wave) {
        s->add_vert_global("uniform float currentAngle;");
        s->add_vert_body("\tvec4 v = gl_Vertex;");
        s->add_vert_body("\tv.y = ( sin( v.x + currentAngle ) + sin( v.z + currentAngle ) ) * v.x * 0.08;");
        s->add_vert_body("\tgl_Position = gl_ModelViewProjectionMatrix * v;");
    } else {
        s->add_vert_body("\tgl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;");
    }
    s->add_vert_body("\tgl_TexCoord[0] = gl_MultiTexCoord0;");
    s->add_vert_body("\tgl_FrontColor = gl_Color;");
    s->add_frag_global("uniform sampler2D tex;");
    s->add_frag_body("\tgl_FragColor = texture2D( tex, gl_TexCoord[0].st ) * gl_Color;");
    return s;
}

}  // namespace

Flag::Flag()
    : texture("data/effects/flag/flag.png", true, false),
      shader(std::make_unique<ShaderProgram>(flag_program("EffectsFlagWave", true))),
      still_shader(std::make_unique<ShaderProgram>(flag_program("EffectsFlagTexRender", false))) {
    // The grid's texture coordinates put the picture upright once the draw
    // turns the mesh: z = 0 is the bottom edge, z = -6 the top.
    display_list = glGenLists(1);
    glNewList(display_list, GL_COMPILE);
    glBegin(GL_QUADS);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            for (int corner = 0; corner < 4; ++corner) {
                const int cc = c + (corner == 1 || corner == 2);
                const int rr = r + (corner >= 2);
                const float u = static_cast<float>(cc) / kColumns;
                const float v = static_cast<float>(rr) / kRows;
                glTexCoord2f(u, v);
                glVertex3f(u * kFlagWidth, 0.0f, -v * kFlagHeight);
            }
    glEnd();
    glEndList();
}

Flag::~Flag() {
    if (display_list) glDeleteLists(display_list, 1);
    shader.reset();
    still_shader.reset();
}

void Flag::draw(float time) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(-4.35f, -3.0f, -8.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);

    ShaderProgram* program = waving ? shader.get() : still_shader.get();
    program->bind();
    program->set_uniform1f("currentAngle", flag_angle(time));
    texture.bind(0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glCallList(display_list);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace Effects
