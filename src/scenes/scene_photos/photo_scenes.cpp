#include "scenes/scene_photos/photo_scenes.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>

#include "util/easydraw/easydraw.h"
#include "util/math/saturate.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/utils.h"

namespace {

// Every photo: mipmaps, repeat wrap, linear filters, and no anisotropic
// sampling. The photos are drawn face-on keeping their shape, where
// anisotropic filtering adds nothing to trilinear, yet on llvmpipe it made
// the seven photos the blast program reads at every pixel cost more than
// twice as much.
void load_photo(Texture& photo, const std::string& file) {
    photo.load(file, true, true, GL_LINEAR, GL_LINEAR);
    photo.sample_without_anisotropy();
}

std::unique_ptr<Texture> load_photo(const std::string& file) {
    auto photo = std::make_unique<Texture>();
    load_photo(*photo, file);
    return photo;
}

const char* const kBunkerPhotos[] = {
    "data/scenes/korrinbunker/radio.jpg",
    "data/scenes/korrinbunker/ground_zero_population_5.jpg",
};

const char* const kBlastPhotos[] = {
    "data/scenes/nukeblast/explosion_iran.jpg",   "data/scenes/nukeblast/explosion_stock.jpg",
    "data/scenes/nukeblast/explosion_surry.jpg",  "data/scenes/nukeblast/explosion_sydney.jpg",
    "data/scenes/nukeblast/hiroshima_blast.jpg",  "data/scenes/nukeblast/nuclear-explosion.jpg",
    "data/scenes/nukeblast/nuke_washington.jpg",
};

// Alpha blending over what the layers below drew, no depth test.
void blend_over() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
}

}  // namespace

vec4 edge_colour_from_tracks(Music& m, const char* hue, const char* saturation, const char* lightness,
                             const char* alpha) {
    vec3 rgb = hsl_to_rgb(vec3(m.get_sync_value(hue), m.get_sync_value(saturation), m.get_sync_value(lightness)));
    return vec4(rgb, m.get_sync_value(alpha));
}

// The city photo.

const SceneTracks KorrinImage::tracks = {{"NukImgX", -0.5f}, {"NukImgY", -0.5f}, {"NukImgSiz", 2.5f}};

void KorrinImage::init() {
    load_photo(image, "data/scenes/korrinimage/dubrovnik_mono.jpg");
    register_scene_tracks(*music, tracks);
}

void KorrinImage::draw() {
    Texture::use_default_shader();
    const float size = music->get_sync_value("NukImgSiz");
    image.draw_fit(music->get_sync_value("NukImgX"), music->get_sync_value("NukImgY"), size, size, aspect);
}

// The bunker photos.

const SceneTracks KorrinBunker::tracks = {
    {"BunkerImgX", 0.0f}, {"BunkerImgY", 0.0f},  {"BunkerImgSiz", 1.0f}, {"BunkerHue", 0.14f},
    {"BunkerSat", 1.0f},  {"BunkerVal", 0.5f},   {"BunkerAlpha", 1.0f},  {"BunkerImg", 0.5f},
    {"BunkerEdge", 0.5f}, {"BunkerMode", 0.0f},
};

KorrinBunker::KorrinBunker() = default;
KorrinBunker::~KorrinBunker() = default;

void KorrinBunker::init() {
    for (const char* file : kBunkerPhotos) images.push_back(load_photo(file));
    register_scene_tracks(*music, tracks);
    program = std::make_unique<ShaderProgram>("data/scenes/korrinbunker/bunker.vert",
                                              "data/scenes/korrinbunker/bunker.frag");
}

size_t KorrinBunker::photo_index(float mode, size_t count) {
    const int32_t index = saturate_int(mode);
    return static_cast<size_t>(std::max(0, std::min(index, static_cast<int32_t>(count) - 1)));
}

void KorrinBunker::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    blend_over();
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    program->set_uniform_vec4("EdgeColor",
                              edge_colour_from_tracks(*music, "BunkerHue", "BunkerSat", "BunkerVal", "BunkerAlpha"), 1);
    // "BunkerImg" is the photo's strength in the program, not a choice of photo.
    program->set_uniform2f("Intensities", v("BunkerImg"), v("BunkerEdge"));
    Texture& photo = *images[photo_index(v("BunkerMode"), images.size())];
    const float size = v("BunkerImgSiz");
    photo.draw_fit(v("BunkerImgX"), v("BunkerImgY"), size, size, aspect);
}

// The explosions.

const SceneTracks NukeBlast::tracks = {
    {"BlastHue", 0.14f}, {"BlastSat", 1.0f}, {"BlastVal", 0.5f}, {"BlastAlpha", 1.0f},
    {"Blast0", 0.5f},    {"Blast1", 0.5f},   {"Blast2", 0.5f},   {"Blast3", 0.5f},
    {"Blast4", 0.5f},    {"Blast5", 0.5f},   {"Blast6", 0.5f},   {"BlastEdge", 0.5f},
};

NukeBlast::NukeBlast() = default;
NukeBlast::~NukeBlast() = default;

void NukeBlast::init() {
    for (const char* file : kBlastPhotos) images.push_back(load_photo(file));
    register_scene_tracks(*music, tracks);
    program = std::make_unique<ShaderProgram>("data/scenes/nukeblast/nukeblast.vert",
                                              "data/scenes/nukeblast/nukeblast.frag");
}

void NukeBlast::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    blend_over();
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    program->set_uniform_vec4("EdgeColor",
                              edge_colour_from_tracks(*music, "BlastHue", "BlastSat", "BlastVal", "BlastAlpha"), 1);
    program->set_uniform4f("IntFirst", v("Blast0"), v("Blast1"), v("Blast2"), v("Blast3"));
    program->set_uniform4f("IntLast", v("Blast4"), v("Blast5"), v("Blast6"), v("BlastEdge"));
    // All seven every frame, whatever the weights: the program decides what
    // it reads.
    for (size_t i = 0; i < images.size(); ++i) {
        images[i]->bind(static_cast<int>(i));
        program->set_uniform1i(("Tex" + std::to_string(i)).c_str(), static_cast<int32_t>(i));
    }
    glActiveTexture(GL_TEXTURE0);
    easydraw_fullscreen_quad();
}
