#include "effects/particles_morph.h"

#include <algorithm>
#include <cmath>

#include "system/fatal.h"
#include "util/math/random.h"
#include "util/math/scalar.h"

namespace Effects {

bool Particle::update(float t) {
    current = lerp(from, to, t);
    return true;
}

float particle_ease(float fraction, unsigned ease_power) {
    if (ease_power == 0) return fraction;
    // The sine of a float argument taken in double and stored as float, so
    // the curve is the same to the last bit wherever it runs.
    const float s = static_cast<float>(std::sin(static_cast<double>(3.1415927f * fraction - 1.5707964f)));
    const float sign = s > 0.0f ? 1.0f : -1.0f;
    const float q = 1.0f - std::fabs(s);
    float r = 1.0f;
    for (unsigned i = 0; i < ease_power; ++i) r *= q;
    return (1.0f - r) * sign * 0.5f + 0.5f;
}

ShapePair shape_pair(float position, size_t shape_count) {
    // A floored index and fraction: the same as truncation for positions of
    // 0 and above, and a valid shape (not a negative index) below 0.
    if (!std::isfinite(position)) position = 0.0f;
    const double whole = std::floor(static_cast<double>(position));
    const double n = static_cast<double>(shape_count);
    double a = std::fmod(whole, n);
    if (a < 0.0) a += n;
    ShapePair pair;
    pair.a = static_cast<int>(a);
    pair.b = static_cast<int>((static_cast<size_t>(pair.a) + 1) % shape_count);
    pair.fraction = static_cast<float>(static_cast<double>(position) - whole);
    return pair;
}

ParticleMorph::ParticleMorph(const vec3& colour, uint32_t count) {
    random_seed(7);
    particles.reserve(count);
    for (uint32_t i = 0; i < count; ++i) particles.emplace_back(colour, vec3(), vec3());
}

void ParticleMorph::add_shape(float radius, bool exact_points) {
    shapes.emplace_back();
    randomize(0, radius);
    store_shape(shapes.back(), 0);
    shapes.back().exact_points = exact_points;
}

void ParticleMorph::update(float position, unsigned ease_power) {
    // Without a shape there is nothing to blend toward (and no index mod 0).
    FATAL_ASSERT(shapes.size() > 0);
    const ShapePair pair = shape_pair(position, shapes.size());
    const float d = particle_ease(pair.fraction, ease_power);

    if (pair.a != current_shape) {
        const ParticleShape& a = shapes[static_cast<size_t>(pair.a)];
        const ParticleShape& b = shapes[static_cast<size_t>(pair.b)];
        if (current_shape < 0) {
            load_shape(0, a.verts, a.exact_points);
            load_shape(1, b.verts, b.exact_points);
            scale_copy(0, 0, a.scale);
            scale_copy(1, 1, b.scale);
        } else if (position > last_position) {
            scale_copy(0, 1, 1.0f);
            load_shape(1, b.verts, b.exact_points);
            scale_copy(1, 1, b.scale);
        } else {
            scale_copy(1, 0, 1.0f);
            load_shape(0, a.verts, a.exact_points);
            scale_copy(0, 0, a.scale);
        }
        current_shape = pair.a;
        last_position = position;
    }
    for (Particle& p : particles) p.update(d);
}

namespace {

void write_slot(Particle& p, int dst, const vec3& v) {
    if (dst == 1 || dst == 2) p.to = v;
    if (dst == 0 || dst == 2) p.from = v;
}

}  // namespace

void ParticleMorph::randomize(int dst, float radius) {
    FATAL_ASSERT(dst >= 0 && dst <= 2);
    for (Particle& p : particles) {
        vec3 v;
        v.randomize_unit();
        write_slot(p, dst, v * radius);
    }
}

void ParticleMorph::store_shape(ParticleShape& shape, int src) {
    FATAL_ASSERT(src >= 0 && src <= 1);
    shape.verts.clear();
    shape.verts.reserve(particles.size() * 3);
    for (const Particle& p : particles) {
        const vec3& v = src == 0 ? p.from : p.to;
        shape.verts.insert(shape.verts.end(), {v.x, v.y, v.z});
    }
}

void ParticleMorph::load_shape(int dst, const std::vector<float>& verts, bool exact_points) {
    FATAL_ASSERT(dst >= 0 && dst <= 2);
    if (exact_points) {
        FATAL_ASSERT(verts.size() == particles.size() * 3);
        for (size_t i = 0; i < particles.size(); ++i)
            write_slot(particles[i], dst, vec3(verts[3 * i], verts[3 * i + 1], verts[3 * i + 2]));
        return;
    }
    FATAL_ASSERT(verts.size() > 0);
    // A partial point would be read past the end of the list.
    FATAL_ASSERT(verts.size() % 3 == 0);
    auto point = [&verts](size_t k) { return vec3(verts[3 * k], verts[3 * k + 1], verts[3 * k + 2]); };
    if (verts.size() == 3) {
        // One point has no segment: every particle sits on it.
        for (Particle& p : particles) write_slot(p, dst, point(0));
        return;
    }
    const float maxpos = (static_cast<float>(verts.size()) - 3.01f) / 3.0f;
    for (Particle& p : particles) {
        float pos;
        int k;
        do {
            pos = random_range(0.0f, maxpos);
            k = static_cast<int>(pos);
        } while (k % 3 == 2);
        const float t = std::fmod(pos, 1.0f);
        write_slot(p, dst, lerp(point(static_cast<size_t>(k)), point(static_cast<size_t>(k) + 1), t));
    }
}

void ParticleMorph::scale_copy(int dst, int src, float factor) {
    FATAL_ASSERT(dst >= 0 && dst <= 2);
    FATAL_ASSERT(src >= 0 && src <= 1);
    for (Particle& p : particles) write_slot(p, dst, (src == 0 ? p.from : p.to) * factor);
}

std::vector<uint32_t> back_to_front(const std::vector<Particle>& particles, const mat4& model,
                                    const float modelview[16]) {
    std::vector<float> depth(particles.size());
    for (size_t i = 0; i < particles.size(); ++i) {
        vec3 v = particles[i].current;
        model.transform_point(v);
        depth[i] = modelview[2] * v.x + modelview[6] * v.y + modelview[10] * v.z + modelview[14];
    }
    std::vector<uint32_t> order(particles.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&depth](uint32_t l, uint32_t r) { return depth[l] < depth[r]; });
    return order;
}

void BillboardWriter::write(const vec3& centre, const float rgb[3], float alpha) {
    if (cursor_ >= count_) return;
    static const float kCorners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    float* positions = block_ + cursor_ * 12;
    float* texcoords = block_ + layout_.position_bytes / sizeof(float) + cursor_ * 8;
    float* colours = block_ + (layout_.position_bytes + layout_.texcoord_bytes) / sizeof(float) + cursor_ * 16;
    for (int corner = 0; corner < 4; ++corner) {
        float* pos = positions + corner * 3;
        pos[0] = centre.x;
        pos[1] = centre.y;
        pos[2] = centre.z;
        float* rgba = colours + corner * 4;
        rgba[0] = rgb[0];
        rgba[1] = rgb[1];
        rgba[2] = rgb[2];
        rgba[3] = alpha;
    }
    std::copy(kCorners, kCorners + 8, texcoords);
    ++cursor_;
}

size_t keep_visible(float* block, const BillboardLayout& layout, size_t quads) {
    float* positions = block;
    float* texcoords = block + layout.position_bytes / sizeof(float);
    float* colours = block + (layout.position_bytes + layout.texcoord_bytes) / sizeof(float);
    size_t kept = 0;
    for (size_t q = 0; q < quads; ++q) {
        // The four corners share the alpha.
        if (!(colours[q * 16 + 3] > 0.0f)) continue;
        if (kept != q) {
            std::copy(positions + q * 12, positions + q * 12 + 12, positions + kept * 12);
            std::copy(texcoords + q * 8, texcoords + q * 8 + 8, texcoords + kept * 8);
            std::copy(colours + q * 16, colours + q * 16 + 16, colours + kept * 16);
        }
        ++kept;
    }
    return kept;
}

void fill_billboards(float* block, const std::vector<Particle>& particles,
                     const std::vector<uint32_t>& order, const mat4& model, const vec3& colour) {
    const size_t count = order.empty() ? particles.size() : order.size();
    BillboardWriter out(block, count);
    const float rgb[3] = {colour.x, colour.y, colour.z};
    for (size_t i = 0; i < count; ++i) {
        vec3 centre = particles[order.empty() ? i : order[i]].current;
        model.transform_point(centre);
        out.write(centre, rgb, 1.0f);
    }
}

}  // namespace Effects
