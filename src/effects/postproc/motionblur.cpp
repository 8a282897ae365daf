#include "effects/postproc/motionblur.h"

#include <GL/glew.h>

#include <algorithm>

#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/utils.h"

namespace Effects {

float Motionblur::last_advance_time = 0.0f;

int motionblur_frame_count(float frames, int texture_units) {
    int n = 2;
    // Compared as floats: a huge or NaN value would not convert to int.
    if (frames >= 64.0f) n = 64;
    else if (frames >= 2.0f) n = static_cast<int>(frames);
    return std::max(2, std::min(n, texture_units));
}

bool motionblur_advances(float time, float last_advance_time, float delay) {
    const float d = time - last_advance_time;
    return d < 0.0f || d > delay;
}

std::unique_ptr<ShaderConstructor> make_motionblur_blend(int frames) {
    auto s = std::make_unique<ShaderConstructor>("EffectsMotionblur", "#version 420");
    add_textured_2d_vertex(s.get());
    s->add_frag_global("uniform sampler2D image;");
    for (int i = 1; i < frames; ++i) s->add_frag_global("uniform sampler2D shadow" + int_to_string(i) + ";");
    s->add_frag_global("uniform vec4 MotionblurParams;");
    s->add_frag_global("in vec2 TexCoordFrag;");
    s->add_frag_body("  vec4 final_colour = vec4( vec3( 0.0 ), 1.0 );");
    const float w = 1.0f / static_cast<float>(frames);
    float weight = 1.0f;
    for (int j = 1; j < frames; ++j) {
        weight -= w;
        s->add_frag_body("  final_colour += texture2D( shadow" + int_to_string(j) + ", TexCoordFrag ) * " +
                         float_to_string(weight, 2) + ";");
    }
    s->add_frag_body("  final_colour *= MotionblurParams.y;");
    s->add_frag_body("\tfinal_colour += texture2D( image, TexCoordFrag );");
    s->add_frag_body("\tgl_FragColor = final_colour;");
    return s;
}

std::unique_ptr<ShaderConstructor> make_motionblur_copy() {
    auto s = std::make_unique<ShaderConstructor>("EffectsMotionblurTexrender", "#version 420");
    add_textured_2d_vertex(s.get());
    s->add_frag_global("uniform sampler2D tex;");
    s->add_frag_global("in vec2 TexCoordFrag;");
    s->add_frag_body("\tgl_FragColor = texture2D( tex, TexCoordFrag );");
    return s;
}

namespace {

const float* unit_square() {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    return projection.data();
}

int fragment_texture_units() {
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    return units;
}

}  // namespace

Motionblur::Motionblur() {
    name = "Motionblur";
    add_param("Frames", 4.0f);
    add_param("Strength", 1.0f);
    add_param("Delay", 0.0f);
}

Motionblur::~Motionblur() {
    // The programs go before the builders they point at.
    shader.reset();
    texrender_shader.reset();
}

void Motionblur::prepare() {
    const int n = motionblur_frame_count(params[0], fragment_texture_units());
    if (!shader || num_frames != n) {
        num_frames = n;
        current %= n;
        shader = std::make_unique<ShaderProgram>(make_motionblur_blend(n));
        // The ring only grows: a smaller count later leaves the extra slots.
        while (history.size() < static_cast<size_t>(n))
            history.push_back(std::make_unique<FBO>(kHistorySize, kHistorySize, FBO_TYPE_RGBA8, 0));
    }
    if (!texrender_shader) {
        texrender_shader = std::make_unique<ShaderProgram>(make_motionblur_copy());
    }
}

void Motionblur::update(int, int, float time, FBO* source) {
    prepare();
    if (motionblur_advances(time, last_advance_time, params[2])) {
        last_advance_time = time;
        current = (current + 1) % num_frames;
    }
    texrender_shader->bind();
    texrender_shader->set_uniform_matrix4fv("ProjectionMatrix", unit_square(), 1, false);
    history[current]->push(true);
    source->draw();
    history[current]->pop();
}

void Motionblur::render(int, int, float) {
    const float motion_params[4] = {params[0], params[1], 0.0f, 0.0f};
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bind_with_projection();
    for (int i = 1; i < num_frames; ++i) {
        int k = current - i;
        if (k < 0) k += num_frames;
        shader->set_uniform1i(("shadow" + int_to_string(i)).c_str(), i);
        history[k]->bind_texture(0, i);
    }
    // The frame loop draws the current image on unit 0.
    glActiveTexture(GL_TEXTURE0);
    shader->set_uniform4fv("MotionblurParams", motion_params, 1);
}

}  // namespace Effects
