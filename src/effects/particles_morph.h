// The particle cloud without drawing: particles that morph between stored
// shapes, and the vertex block the billboards are drawn from.
//
// Each particle holds two slots, `from` (slot 0) and `to` (slot 1), and is
// drawn at `current`, a blend of the two. A shape is a point set: either one
// point per particle ("exact"), or a polyline along which the particles are
// scattered at random. A position on the shape axis picks the pair of
// shapes (integer part) and the blend between them (fraction, eased).
//
// Every random draw uses the program's generator (util/math/random.h), which
// the cloud reseeds with 7 when it is made, so the shapes come out the same
// in every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"

namespace Effects {

struct ParticleSettings {
    vec3 colour;         // red, green, blue in 0..1, of every particle
    uint32_t count = 0;  // number of particles
};

struct Particle {
    Particle(const vec3& colour_, const vec3& from_, const vec3& to_)
        : from(from_), current(from_), to(to_), colour(colour_) {}

    // current = lerp(from, to, t).
    bool update(float t);

    vec3 from;     // the position at blend 0
    vec3 current;  // the position drawn
    vec3 to;       // the position at blend 1
    vec3 unused;   // read by nothing
    vec3 colour;   // the settings colour (drawing uses the cloud's colour)
};

struct ParticleShape {
    std::vector<float> verts;   // x, y, z of one point after another
    float scale = 1.0f;         // applied to the slots the shape is loaded into
    bool exact_points = false;  // one point per particle, or a polyline
};

// The eased blend for a fraction 0..1: the fraction itself for power 0, else
// a cosine ease (power 1: 0.5 - 0.5 cos(pi f)) sharpened by the power, which
// holds the blend near 0 and 1 longer and crosses 0.5 faster.
float particle_ease(float fraction, unsigned ease_power);

// The pair of shapes a position blends and the fraction between them: the
// floor of the position (mod the shape count, never negative) and the next
// shape. A position that is not finite counts as 0.
struct ShapePair {
    int a = 0;
    int b = 0;
    float fraction = 0.0f;
};
ShapePair shape_pair(float position, size_t shape_count);

class ParticleMorph {
public:
    // Slot numbers: source 0 = from, 1 = to; destination 0 = from, 1 = to,
    // 2 = both.
    // Reseeds the program's generator with 7; every particle starts at the
    // origin in both slots.
    ParticleMorph(const vec3& colour, uint32_t count);

    // Appends a shape of `count` random points on the sphere of that radius
    // about the origin, leaving the particles' `from` at those points.
    void add_shape(float radius, bool exact_points);

    // Loads the shapes the position names when its integer part has changed
    // (the new `from` is the old `to` when stepping forward, the new `to` the
    // old `from` when stepping back, so the motion stays continuous), then
    // blends every particle by the eased fraction. Needs a shape.
    void update(float position, unsigned ease_power);

    // Each over all particles in order.
    // A random unit vector times radius into dst (both slots get the same).
    void randomize(int dst, float radius);
    // The points of slot src into the shape's verts.
    void store_shape(ParticleShape& shape, int src);
    // Exact: point i into particle i. Polyline: every particle at a random
    // place on a segment from point k to k + 1 with k mod 3 in {0, 1} (the
    // segment after every third point is skipped); a one-point polyline puts
    // every particle on that point.
    void load_shape(int dst, const std::vector<float>& verts, bool exact_points);
    // Slot dst = slot src x factor (src read before anything is written).
    void scale_copy(int dst, int src, float factor);

    std::vector<Particle>& get_particles() { return particles; }
    const std::vector<Particle>& get_particles() const { return particles; }
    std::vector<ParticleShape>& get_shapes() { return shapes; }
    int get_current_shape() const { return current_shape; }
    float get_last_position() const { return last_position; }

private:
    std::vector<Particle> particles;
    std::vector<ParticleShape> shapes;
    int current_shape = -1;       // shape of the last load; -1 before the first
    float last_position = -1.0f;  // position of the last load
};

// The per-frame vertex block of `count` billboards: all positions (4 x 3
// floats a particle), then all texture coordinates (4 x 2), then all colours
// (4 x 4). Particle i owns vertices 4i..4i+3 of each part.
struct BillboardLayout {
    explicit BillboardLayout(size_t count)
        : position_bytes(count * 48), texcoord_bytes(count * 32), colour_bytes(count * 64) {}
    size_t total_bytes() const { return position_bytes + texcoord_bytes + colour_bytes; }
    size_t position_bytes, texcoord_bytes, colour_bytes;
};

// Writes billboards one after another into a block laid out for `count`
// quads: each quad's four corners at one centre, with the texture
// coordinates (0, 0), (1, 0), (1, 1), (0, 1) and one colour. Quads past the
// block's end are dropped.
class BillboardWriter {
public:
    BillboardWriter(float* block, size_t count) : block_(block), layout_(count), count_(count) {}
    void write(const vec3& centre, const float rgb[3], float alpha);
    void rewind() { cursor_ = 0; }
    size_t written() const { return cursor_; }
    const BillboardLayout& layout() const { return layout_; }

private:
    float* block_;
    BillboardLayout layout_;
    size_t count_;
    size_t cursor_ = 0;
};

// Moves the quads of the first `quads` whose alpha is above 0 to the front
// of the block, keeping their order, and returns how many there are. Drawn
// with additive blending, a quad of alpha 0 (or below, which the colour
// clamps to 0) adds nothing to the picture but still costs its pixels.
size_t keep_visible(float* block, const BillboardLayout& layout, size_t quads);

// The order in which to draw the particles so that the farthest comes first:
// ascending eye-space z of model x current under the modelview (column-major,
// as GL gives it). Equal depths keep their index order.
std::vector<uint32_t> back_to_front(const std::vector<Particle>& particles, const mat4& model,
                                    const float modelview[16]);

// Fills the block for the particles in `order` (all, in index order, when
// empty): every corner of a billboard at model x current, with the texture
// coordinates (0, 0), (1, 0), (1, 1), (0, 1) and the colour (rgb, 1).
void fill_billboards(float* block, const std::vector<Particle>& particles,
                     const std::vector<uint32_t>& order, const mat4& model, const vec3& colour);

}  // namespace Effects
