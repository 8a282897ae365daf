// The particle system: a cloud of camera-facing textured squares, one per
// particle, all in one colour and added onto the image, morphing between
// shapes (effects/particles_morph.h holds the morphing and the vertex block).
//
// Make it after the GL context exists, add at least one shape, then each
// frame call update and render with the camera's matrices loaded. The whole
// cloud is one draw from one buffer, re-specified every frame from a block
// allocated once.
#pragma once

#include <GL/glew.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "effects/effect.h"
#include "effects/particles_morph.h"
#include "effects/sprite_layer.h"
#include "util/math/mat4.h"
#include "util/texture/texture.h"

class ShaderConstructor;
class ShaderProgram;

namespace Effects {

// The sprite an empty texture name stands for.
extern const char* const kDefaultParticleTexture;

// Loads a sprite picture into `texture` as the particle system and the
// fireworks sample it: mipmapped, repeating, trilinear without anisotropy.
// A picture that does not load ends the run with "Failed to load texture".
void load_sprite(Texture& texture, const std::string& file);

class Particles : public Effect {
public:
    // Reseeds the program's generator with 7, loads the texture (an empty
    // name means kDefaultParticleTexture) and builds "EffectsParticles".
    Particles(ParticleSettings settings, std::string texture_file);
    ~Particles() override;
    Particles(const Particles&) = delete;
    Particles& operator=(const Particles&) = delete;

    void add_shape(float radius, bool exact_points) { morph.add_shape(radius, exact_points); }
    // position: integer part the shape, fraction the blend toward the next.
    void update(float position, unsigned ease_power) { morph.update(position, ease_power); }
    // Draws with the current GL matrices; `time` is not used. Leaves blending
    // on (source alpha, one), the texture and the program bound, and the
    // depth test off (on with depth_sort).
    void render(float time) override;

    ParticleMorph& get_morph() { return morph; }

    // Draw back to front with the depth test on.
    bool depth_sort = false;
    // Whether the scene draws anything after the cloud; a cloud drawn last
    // may wait to be added to the resolved picture (effects/sprite_layer.h).
    SpriteLayer::Order sprite_order = SpriteLayer::Order::in_order;
    // Edge of every square in world units.
    float size = 0.25f;
    // Applied to every particle position before upload.
    mat4 model_matrix;

private:
    ParticleMorph morph;
    vec3 colour;
    Texture texture;
    SpriteLayer sprite_layer;
    std::unique_ptr<ShaderProgram> billboard_shader;
    BillboardLayout layout;
    float* buffer_vertex = nullptr;  // malloc block of layout.total_bytes()
    GLuint vbo = 0;
};

// The builder of "EffectsParticles": each corner of a square is moved from
// the particle's centre by (texture coordinate - 0.5) x size along the
// uniforms `right` and `up`; the colour is the sprite times the vertex
// colour. The Fireworks scene draws the same squares as point sprites
// (make_point_sprite_shader) under its own name.
std::unique_ptr<ShaderConstructor> make_particles_shader(const char* name = "EffectsParticles");

// Binds a billboard program with `right` and `up` taken from the GL
// model-view matrix (returned in `modelview`) and the edge `size`.
void bind_billboard_program(ShaderProgram& program, float size, float modelview[16]);

// Re-specifies `vbo` with the whole block (GL_STREAM_DRAW) and draws its
// first `quads` billboards from it as client arrays; leaves no array
// enabled and no buffer or vertex-array object bound.
void draw_billboard_block(GLuint vbo, const float* block, const BillboardLayout& layout, size_t quads);

// The same squares drawn as point sprites, one vertex each instead of four
// corners: a square that faces the eye is the screen-aligned square of a
// point sprite of the same size, with the sprite's texture coordinates
// running over it as the corners' do. On llvmpipe a point is one primitive
// to set up and bin where a quad is two triangles, whose shared diagonal
// shades its 4x4 blocks twice: a cloud of tens of thousands of small
// sprites costs about a quarter less.
//
// The one difference: a point whose centre leaves the viewport is dropped
// whole, where a billboard slides out; with sprites of a few pixels it is
// seen only at the picture's edge. Points are also capped at the
// renderer's largest point size (255 pixels on llvmpipe).
//
// The builder of such a program: the billboard program's fragment lines,
// and a vertex body that sizes the point to the edge `size` seen at the
// vertex's depth (the uniform `pixels_per_unit`, set by
// bind_point_sprite_program).
std::unique_ptr<ShaderConstructor> make_point_sprite_shader(const char* name);

// The pixels a unit spans at distance 1 under the current GL projection and
// viewport, measured vertically as the billboards' `up` edge.
float pixels_per_unit();

// Binds a point-sprite program with the edge `size` and `pixels_per_unit`.
void bind_point_sprite_program(ShaderProgram& program, float size, float pixels_per_unit);

// Uploads the centres and colours of the block's first `quads` billboards
// into `vbo` and draws them as point sprites with texture unit 0's
// coordinates replaced by the sprite's, running the way the billboards'
// do; leaves no array enabled, no buffer or vertex-array object bound,
// point sprites off and their coordinates' origin at the top (the default).
void draw_point_sprites(GLuint vbo, const float* block, const BillboardLayout& layout, size_t quads);

}  // namespace Effects
