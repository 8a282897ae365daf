#include "effects/skydome/skydome.h"

#include <GL/glew.h>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

float SkyDome::cloud_time = 0.0f;

SkyDome::SkyDome()
    : model(std::make_unique<SglModel>()),
      texture0("data/effects/skydome/cloud.png", true, true),
      texture1("data/effects/skydome/thunder0.jpg", true, true),
      shader(std::make_unique<ShaderProgram>("data/effects/skydome/skydome.vert", "data/effects/skydome/skydome.frag")) {
    model->load("data/effects/skydome/sky.sgl");
    model->get_size(bbox.x, bbox.y, bbox.z);
}

SkyDome::~SkyDome() = default;

void SkyDome::render(float time) {
    glPushMatrix();
    glScalef(scale_xz, scale_y, scale_xz);
    glDisable(GL_DEPTH_TEST);
    if (last_time < 0.0f) last_time = time;
    cloud_time += (time - last_time) * 0.005f;

    shader->bind();
    shader->set_uniform1f("time", cloud_time);
    shader->set_uniform4f("horizon", 0.9f, 0.7f, 0.7f, 1.0f);
    shader->set_uniform_vec4("bbox", bbox, 1);
    shader->set_uniform1i("s_texture_0", 0);
    shader->set_uniform1i("s_texture_1", 1);
    shader->set_uniform1f("daylight", daylight);
    shader->set_uniform1f("tex2_factor", tex2_factor);
    shader->set_uniform1f("tex2_scale", tex2_scale);
    shader->set_uniform1f("tex2_offset", tex2_offset);
    texture0.bind(0);
    texture1.bind(1);
    model->draw();

    Texture::unbind(1);
    Texture::unbind(0);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    last_time = time;
}

}  // namespace Effects
