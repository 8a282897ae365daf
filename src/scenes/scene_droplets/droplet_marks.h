// The marks of the droplets scene without drawing: where each spot and
// droplet lies (drawn at random once), and which of them show at a time on
// the scene's beat clock, gathered into the lists the shader takes.
//
// A spot starts on every beat and a droplet on every second beat; each fades
// from 1 to 0 over its own number of beats. Positions lie in 0.15 .. 0.85 on
// both axes of the plane's texture coordinates.
#pragma once

#include <cstddef>
#include <vector>

#include "util/math/vector.h"

// The most marks of each kind the shader holds: its arrays are declared with
// this many entries, and the lists below never grow past it. Long fades can
// make more marks visible at once; then the most faded ones are left out.
constexpr size_t kMaxDropletMarks = 32;

// One mark a `step` beats from 0 while below `length_beats`: (start, x, y),
// the two coordinates drawn y first, then x, each in 0.15 .. 0.85 from the
// program's generator.
std::vector<float3> make_mark_events(float length_beats, float step);

// Spot events carry their fade in w, which upload_spots rewrites.
std::vector<vec3> spot_events_from(const std::vector<float3>& marks);

// Droplets started by `now`, oldest first, that have not faded out over
// `fade` beats: (x, y, k, start) with k = 1 - (now - start) / fade > 0.
std::vector<vec4> visible_droplets(const std::vector<float3>& events, float now, float fade);

// The spots to draw at `now` as (x, y, fade): every spot from the one after
// the last faded-out spot up to and including the first spot still to come
// (with fade 0), or to the last spot when all have started. Writes each
// examined spot's fade into its w.
std::vector<vec3> visible_spots(std::vector<vec3>& events, float now, float fade);

// The last kMaxDropletMarks entries of a list (the freshest marks).
template <typename T>
std::vector<T> freshest_marks(std::vector<T> list) {
    if (list.size() > kMaxDropletMarks) list.erase(list.begin(), list.end() - kMaxDropletMarks);
    return list;
}
