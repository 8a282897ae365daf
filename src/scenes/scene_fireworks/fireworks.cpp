#include "scenes/scene_fireworks/fireworks.h"

#include <cmath>

#include "effects/particles.h"
#include "system/fatal.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

const SceneTracks Fireworks::tracks = {{"frwxTime", 0.0f}, {"frwxSeed", 0.0f}};

Fireworks::Fireworks() = default;

Fireworks::~Fireworks() {
    if (vbo) glDeleteBuffers(1, &vbo);
}

void Fireworks::init() {
    register_scene_tracks(*music, tracks);
    Effects::load_sprite(texture, Effects::kDefaultParticleTexture);
    // The particle system's squares as point sprites, under this scene's
    // own name.
    program = std::make_unique<ShaderProgram>(Effects::make_point_sprite_shader("EffectsFireworks"));
    show = std::make_unique<FireworksShow>(music->get_sync_value("frwxSeed"));

    // Sized for every particle made, rockets included, although only sparks
    // are written, so a frame never runs out of room.
    const size_t count = show->particle_count();
    const Effects::BillboardLayout layout(count);
    buffer_vertex.reset(static_cast<float*>(std::malloc(layout.total_bytes())));
    if (!buffer_vertex) FATAL_ERROR("buffer_vertex is NULL");
    writer = std::make_unique<BillboardWriter>(buffer_vertex.get(), count);
    glGenBuffers(1, &vbo);
}

void Fireworks::deinit() {
    writer.reset();
    buffer_vertex.reset();
}

void Fireworks::draw() {
    const float time = music->get_sync_value("frwxTime");
    const float seed_track = music->get_sync_value("frwxSeed");

    camera.set_clip(0.01f, 10000.0f);
    camera.look_at(0, 0, -10, 0, 2, 0, 0, 1, 0);
    camera.setup(width, height, aspect, 1.0f);

    const bool frozen = keys && keys['1'];
    show->advance(time, seed_track, frozen);
    if (!(keys && keys['2'])) render();
}

void Fireworks::render() {
    if (!writer) return;  // after deinit there is no block to draw from
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const float pixels_per_unit = Effects::pixels_per_unit();
    pick_sprite_level(pixels_per_unit);
    texture.bind_and_enable();

    Effects::bind_point_sprite_program(*program, FireworksShow::kSize, pixels_per_unit);
    quads_drawn = show->write_vertices(*writer);
    // The sparks of burnt-out rockets stay in the block at alpha 0 until
    // their rocket relaunches, up to half of it; only the lit ones are drawn.
    const size_t lit = Effects::keep_visible(buffer_vertex.get(), writer->layout(), quads_drawn);
    sprite_layer.begin();
    Effects::draw_point_sprites(vbo, buffer_vertex.get(), writer->layout(), lit);
    // The sparks are all the scene draws.
    sprite_layer.end(Effects::SpriteLayer::Order::last_in_scene);
}

void Fireworks::pick_sprite_level(float pixels_per_unit) {
    // Rockets start 10 units or more in front of the eye, so the nearest
    // sparks are about this large; farther ones, down to a sixth of it,
    // take the same level smaller. Trilinear filtering would blend the two
    // levels around each spark's size, at about a third of the sparks'
    // cost, for a slightly softer picture.
    constexpr float kNearestDistance = 10.0f;
    const float nearest_pixels = FireworksShow::kSize * pixels_per_unit / kNearestDistance;
    const float texels = static_cast<float>(texture.get_height());
    const int level = nearest_pixels > 0.0f ? static_cast<int>(std::floor(std::log2(texels / nearest_pixels))) : 0;
    if (level == sprite_level) return;
    sprite_level = level;
    texture.sample_one_level(level);
}
