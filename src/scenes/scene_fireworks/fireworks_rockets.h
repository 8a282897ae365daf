// The fireworks simulation without drawing: rockets that fly up trailing
// sparks, burst into child rockets with trails of their own, and are
// relaunched when everything of theirs has faded; and the quads of every
// live spark, written into one billboard block (effects/particles_morph.h
// layout) for one draw.
//
// All random values come from the program's generator, drawn in a fixed
// order, so the same frames from the same seed give the same show. Times are
// in the unit of the scene's time track.
#pragma once

#include <cstddef>
#include <vector>

#include "effects/particles_morph.h"
#include "util/math/vector.h"

using Effects::BillboardWriter;

// A spark; also the body of a rocket.
class FireworksParticle {
public:
    virtual ~FireworksParticle() = default;

    // Stores the values (colour copied); life 1, age 0, flying.
    virtual void launch(const vec3& position, const vec3& velocity, float speed, const float colour[3], float start,
                        float lifetime);
    // Ages the particle to `time` and moves it by velocity x speed over the
    // step since the last update (backwards when time runs back). False, with
    // life 0, once its age passes its lifetime.
    virtual bool update(float time);
    // One quad at the position in its colour with alpha factor x life.
    void write_vertices(BillboardWriter& out, float factor) const;

    vec3 position, velocity;
    float speed = 0.0f;
    float start = 0.0f;  // time of the last launch
    float lifetime = 0.0f;
    float colour[3] = {0.0f, 0.0f, 0.0f};
    float life = 0.0f;  // 1 at launch, 1 - age / lifetime after
    float age = 0.0f;   // time since start at the last update
    bool flying = false;
};

class FireworksRocket : public FireworksParticle {
public:
    FireworksRocket(int spark_count, float size);

    // As the base, then every spark from the rocket's position in a random
    // direction at a quarter of its speed, with a random lifetime 0.1 .. 1.
    void launch(const vec3& position, const vec3& velocity, float speed, const float colour[3], float start,
                float lifetime) override;
    // A flying rocket moves and bursts once its age passes its lifetime; a
    // burst one updates its children. Sparks that die are respawned as trail
    // while the rocket flies. Alive while a spark, the flight or a child is.
    bool update(float time) override;
    // A new top-level flight from the ground, orange, starting at `time`.
    void relaunch(float time);
    // Launches every child from here in a random direction with one random
    // colour, speed and lifetime (drawn even without children).
    void burst(float time);
    // At depth 0 appends `count` children like this rocket; deeper, asks
    // every child. A depth above 0 without children ends the run.
    void add_children(int count, int depth);
    // Quads of the sparks (the rocket itself is never drawn): a rocket with
    // children writes them first once it has burst, then its own sparks at
    // full factor; a childless rocket's sparks fade with its life.
    void write_vertices(BillboardWriter& out) const;
    float get_size() const { return size; }

    // Particles made for this rocket: itself, its sparks and all children's.
    size_t particle_count() const;

    std::vector<FireworksRocket> children;
    std::vector<FireworksParticle> sparks;

private:
    void launch_sparks(float spark_speed, float time, float min_lifetime, float max_lifetime);

    float size;
};

// The frame-to-frame logic of the fireworks scene: five rockets of 30 sparks
// that each burst into 400 rockets of 30 sparks.
class FireworksShow {
public:
    static constexpr int kRockets = 5;
    static constexpr int kSparks = 30;
    static constexpr int kChildren = 400;
    static constexpr float kSize = 0.25f;

    // Seeds the generator from the seed track, then builds and launches the
    // rockets at time 0.
    explicit FireworksShow(float seed_track);

    // One frame: relaunch every rocket at `time` when the seed track moved
    // since the last frame (drawing from the generator before the reseed),
    // reseed the generator from it, and unless frozen age the rockets,
    // relaunching the ones that have finished.
    void advance(float time, float seed_track, bool frozen);
    // The sparks of every rocket; returns the quads written.
    size_t write_vertices(BillboardWriter& out) const;

    size_t particle_count() const;
    std::vector<FireworksRocket> rockets;

private:
    bool seen_seed = false;
    float last_seed = 0.0f;
};

// The generator's seed for a seed track value: track x 1423 truncated, with
// values beyond the integer range (or not a number) saturated.
unsigned fireworks_seed(float seed_track);
