#include "scenes/scene_droplets/droplet_marks.h"

#include "util/math/scalar.h"

std::vector<float3> make_mark_events(float length_beats, float step) {
    const float low = 0.15f, high = 1.0f - 0.15f;
    std::vector<float3> events;
    // Counted in whole steps, so a long song adds no rounding drift and a
    // length that is not a number makes no marks.
    for (int i = 0; static_cast<float>(i) * step < length_beats; ++i) {
        float a = random_range(low, high);
        float b = random_range(low, high);
        float3 event;
        event.set(static_cast<float>(i) * step, b, a);
        events.push_back(event);
    }
    return events;
}

std::vector<vec3> spot_events_from(const std::vector<float3>& marks) {
    std::vector<vec3> spots;
    spots.reserve(marks.size());
    for (const float3& m : marks) spots.emplace_back(m.x, m.y, m.z);
    return spots;
}

std::vector<vec4> visible_droplets(const std::vector<float3>& events, float now, float fade) {
    std::vector<vec4> list;
    for (const float3& e : events) {
        if (e.x > now) break;
        float k = 1.0f - (now - e.x) / fade;
        if (k > 0.0f) list.emplace_back(e.y, e.z, k, e.x);
    }
    return list;
}

std::vector<vec3> visible_spots(std::vector<vec3>& events, float now, float fade) {
    size_t begin = 0;
    size_t end = events.size();  // one past the last spot of the range
    for (size_t i = 0; i < events.size(); ++i) {
        vec3& spot = events[i];
        if (spot.x > now) {
            spot.w = 0.0f;
            end = i + 1;
            break;
        }
        spot.w = 1.0f - (now - spot.x) / fade;
        if (spot.w <= 0.0f) begin = i + 1;
    }
    std::vector<vec3> list;
    for (size_t i = begin; i < end; ++i) list.emplace_back(events[i].y, events[i].z, events[i].w);
    return list;
}
