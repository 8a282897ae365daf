#include "scenes/scene_fireworks/fireworks_rockets.h"

#include "system/fatal.h"
#include "util/math/random.h"
#include "util/math/saturate.h"
#include "util/math/scalar.h"

namespace {

vec3 random_direction() {
    vec3 v;
    v.randomize_unit();
    return v;
}

}  // namespace

void FireworksParticle::launch(const vec3& position_, const vec3& velocity_, float speed_, const float colour_[3],
                               float start_, float lifetime_) {
    position = position_;
    velocity = velocity_;
    speed = speed_;
    colour[0] = colour_[0];
    colour[1] = colour_[1];
    colour[2] = colour_[2];
    start = start_;
    lifetime = lifetime_;
    life = 1.0f;
    age = 0.0f;
    flying = true;
}

bool FireworksParticle::update(float time) {
    const float dt = (time - start) - age;
    age = time - start;
    if (age > lifetime) {
        life = 0.0f;
        return false;
    }
    life = 1.0f - age / lifetime;
    position += velocity * speed * dt;
    return true;
}

void FireworksParticle::write_vertices(BillboardWriter& out, float factor) const {
    out.write(position, colour, factor * life);
}

FireworksRocket::FireworksRocket(int spark_count, float size_) : sparks(static_cast<size_t>(spark_count)), size(size_) {}

void FireworksRocket::launch_sparks(float spark_speed, float time, float min_lifetime, float max_lifetime) {
    for (FireworksParticle& spark : sparks) {
        // Drawn in this order: the direction, then the lifetime.
        const vec3 direction = random_direction();
        spark.launch(position, direction, spark_speed, colour, time, random_range(min_lifetime, max_lifetime));
    }
}

void FireworksRocket::launch(const vec3& position_, const vec3& velocity_, float speed_, const float colour_[3],
                             float start_, float lifetime_) {
    FireworksParticle::launch(position_, velocity_, speed_, colour_, start_, lifetime_);
    launch_sparks(speed / 4.0f, start, 0.1f, 1.0f);
}

void FireworksRocket::relaunch(float time) {
    const float z = random_range(0.0f, 50.0f);
    const float x = random_range(-10.0f, 10.0f);
    position.set(x, 0.0f, z);
    velocity.set(0.0f, 1.0f, 0.0f);
    velocity.rotate_z(random_range(-30.0f, 30.0f));
    speed = random_range(1.0f, 6.0f);
    lifetime = random_range(1.0f, 3.0f);
    colour[0] = 1.0f;
    colour[1] = 0.6f;
    colour[2] = 0.2f;
    start = time;
    life = 1.0f;
    age = 0.0f;
    flying = true;
    launch_sparks(speed / 4.0f, time, 0.1f, 1.0f);
}

void FireworksRocket::burst(float time) {
    float burst_colour[3];
    for (float& c : burst_colour) c = random_range(0.2f, 1.0f);
    const float burst_speed = random_range(0.2f, 3.0f);
    const float burst_lifetime = random_range(2.0f, 12.0f);
    for (FireworksRocket& child : children)
        child.launch(position, random_direction(), burst_speed, burst_colour, time, burst_lifetime);
}

bool FireworksRocket::update(float time) {
    bool any_child = false;
    const float dt = (time - start) - age;
    age = time - start;
    if (flying) {
        life = 1.0f - age / lifetime;
        position += velocity * speed * dt;
        if (age > lifetime) {
            flying = false;
            burst(time);
        }
    } else {
        for (FireworksRocket& child : children)
            if (child.update(time)) any_child = true;
    }
    bool alive = false;
    for (FireworksParticle& spark : sparks) {
        if (spark.update(time)) {
            alive = true;
        } else if (flying) {
            // The trail: a spark that died comes back where the rocket is now.
            const vec3 direction = random_direction();
            spark.launch(position, direction, speed / 15.0f, colour, time, random_range(0.3f, 1.8f));
        }
    }
    return alive || flying || any_child;
}

void FireworksRocket::add_children(int count, int depth) {
    if (depth == 0) {
        children.reserve(children.size() + static_cast<size_t>(count > 0 ? count : 0));
        for (int i = 0; i < count; ++i) children.emplace_back(static_cast<int>(sparks.size()), size);
        return;
    }
    FATAL_ASSERT(children.size() > 0);
    for (FireworksRocket& child : children) child.add_children(count, depth - 1);
}

void FireworksRocket::write_vertices(BillboardWriter& out) const {
    float factor = 1.0f;
    if (children.empty()) {
        factor = life;
    } else if (!flying) {
        for (const FireworksRocket& child : children) child.write_vertices(out);
    }
    for (const FireworksParticle& spark : sparks) spark.write_vertices(out, factor);
}

size_t FireworksRocket::particle_count() const {
    size_t count = 1 + sparks.size();
    for (const FireworksRocket& child : children) count += child.particle_count();
    return count;
}

unsigned fireworks_seed(float seed_track) {
    // Negative seeds wrap as the generator's unsigned seed always did.
    return static_cast<unsigned>(saturate_int(seed_track * 1423.0f));
}

FireworksShow::FireworksShow(float seed_track) {
    random_seed(fireworks_seed(seed_track));
    rockets.reserve(kRockets);
    for (int i = 0; i < kRockets; ++i) {
        rockets.emplace_back(kSparks, kSize);
        rockets.back().relaunch(0.0f);
        rockets.back().add_children(kChildren, 0);
    }
}

void FireworksShow::advance(float time, float seed_track, bool frozen) {
    const float seed = seed_track * 1423.0f;
    if (!seen_seed) {
        seen_seed = true;
        last_seed = seed;
    }
    if (seed != last_seed) {
        for (FireworksRocket& rocket : rockets) rocket.relaunch(time);
        last_seed = seed;
    }
    random_seed(fireworks_seed(seed_track));
    if (frozen) return;
    for (FireworksRocket& rocket : rockets)
        if (!rocket.update(time)) rocket.relaunch(time);
}

size_t FireworksShow::write_vertices(BillboardWriter& out) const {
    out.rewind();
    for (const FireworksRocket& rocket : rockets) rocket.write_vertices(out);
    return out.written();
}

size_t FireworksShow::particle_count() const {
    size_t count = 0;
    for (const FireworksRocket& rocket : rockets) count += rocket.particle_count();
    return count;
}
