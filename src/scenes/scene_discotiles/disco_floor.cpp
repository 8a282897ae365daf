#include "scenes/scene_discotiles/disco_floor.h"

#include <cmath>

#include "util/math/scalar.h"

namespace {

constexpr float kDropStep = 2.0f;    // beats between drops
constexpr float kSpotStep = 0.25f;   // beats between spots
constexpr float kDropLife = 5.0f;    // beats a drop lasts
constexpr float kRingSpeed = 5.0f;   // tiles a beat
constexpr float kDiscSpeed = 8.0f;   // tiles a beat
constexpr float kSpotLife = 2.0f;    // beats a spot lasts
constexpr float kSpotReach = 15.0f;  // tiles
constexpr float kMargin = 15.0f;     // events keep this many tiles from the edges

float distance(float x0, float z0, float x1, float z1) {
    return std::sqrt((x0 - x1) * (x0 - x1) + (z0 - z1) * (z0 - z1));
}

}  // namespace

float DiscoFloor::tile_centre(unsigned n) const {
    return (static_cast<float>(n) - static_cast<float>(side / 2)) * (kTileSize + kTileGap);
}

void DiscoFloor::make_events(float length_beats) {
    const float high = static_cast<float>(side) - kMargin;
    drops.clear();
    spots.clear();
    for (float t = 0.0f; t < length_beats; t += kDropStep) {
        float z = random_range(kMargin, high);
        float x = random_range(kMargin, high);
        drops.push_back({t, x, z});
    }
    for (float t = 0.0f; t < length_beats; t += kSpotStep) {
        float z = random_range(kMargin, high);
        float x = random_range(kMargin, high);
        spots.push_back(vec4(t, x, z, 0.0f));
    }
}

void DiscoFloor::light(std::vector<vec4>& colours, float beats, float scroll, float drops_switch,
                       float spots_switch) {
    clear_tiles(colours);
    if (scroll > 0.5f) add_scroll(colours, beats);
    if (drops_switch > 1.5f)
        add_drops(colours, beats, true);
    else if (drops_switch > 0.5f)
        add_drops(colours, beats, false);
    if (spots_switch > 0.5f) add_spots(colours, beats);
}

void DiscoFloor::clear_tiles(std::vector<vec4>& colours) const {
    for (vec4& colour : colours) colour.a = 0.0f;
}

void DiscoFloor::add_scroll(std::vector<vec4>& colours, float beats) const {
    const float phase = beats * kPi / 2.0f;
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i].a += 0.5f + 0.5f * std::sin(static_cast<float>(i) + phase);
}

void DiscoFloor::add_drops(std::vector<vec4>& colours, float beats, bool ring) const {
    // The drops still alive, in list order: the same sums as visiting every
    // past drop per tile, without 6400 passes over the expired ones.
    struct Live {
        float x, z, age, life;
    };
    std::vector<Live> live;
    for (const float3& drop : drops) {
        if (drop.x > beats) break;
        const float age = beats - drop.x;
        const float life = 1.0f - age / kDropLife;
        if (life > 0.0f) live.push_back({drop.y, drop.z, age, life});
    }
    for (unsigned x = 0; x < side; ++x)
        for (unsigned z = 0; z < side; ++z) {
            float& alpha = colours[z * side + x].a;
            for (const Live& drop : live) {
                const float d = distance(drop.x, drop.z, static_cast<float>(x), static_cast<float>(z));
                const float e = ring ? d - drop.age * kRingSpeed : drop.age * kDiscSpeed - d;
                if (e > 0.0f) alpha += drop.life / e;
            }
        }
}

void DiscoFloor::add_spots(std::vector<vec4>& colours, float beats) {
    if (spots.empty()) return;
    // The window runs from the first spot still fading to the first one yet
    // to come; when every spot has come, to the last one (not to the first,
    // which would drop the spots of the song's final quarter beat).
    size_t first = 0;
    size_t last = spots.size() - 1;
    for (size_t i = 0; i < spots.size(); ++i) {
        vec4& spot = spots[i];
        if (spot.x > beats) {
            spot.w = 0.0f;
            last = i;
            break;
        }
        spot.w = 1.0f - (beats - spot.x) / kSpotLife;
        if (spot.w <= 0.0f) first = i + 1;
    }
    for (unsigned x = 0; x < side; ++x)
        for (unsigned z = 0; z < side; ++z) {
            float& alpha = colours[z * side + x].a;
            for (size_t i = first; i <= last && i < spots.size(); ++i) {
                const vec4& spot = spots[i];
                const float d = distance(spot.y, spot.z, static_cast<float>(x), static_cast<float>(z));
                if (d > kSpotReach) continue;
                const float f = 1.0f - d / kSpotReach;
                alpha += spot.w * f * f * f;
            }
        }
}
