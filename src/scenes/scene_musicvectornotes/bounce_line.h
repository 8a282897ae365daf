// The line of the bass scene as plain data: across a 1280 x 720 drawing area
// (y down), one cubic arc per note of the bass track, from the baseline at
// y 540 back to it. An arc whose note sounds has its control points raised
// to y 180, so it bulges up to y 270; otherwise they lie on the baseline and
// the arc is straight. A close runs from the last arc's end back to the
// start along the baseline.
#pragma once

#include <memory>
#include <vector>

#include "util/vectorengine/segment.h"

class Path;

// The note track whose notes raise the arcs.
constexpr const char* kBassTrack = "Playfulbass";

constexpr float kBounceBaseline = 540.0f;
constexpr float kBounceRaised = 180.0f;
// Half the distance between an arc's two control points: 0.02 of the area's
// width in single precision (25.599998).
constexpr float kArcHalfWidth = 0.02f * 1280.0f;

// The control points and end of arc i (1 for the first note's) of a line of
// `arcs` arcs, lying flat. The arcs share the width into arcs + 2 parts; arc
// i ends at i parts.
Vectors::SegmentCubic bounce_arc(int i, int arcs);

// The path "Bounce": white outline, no fill, a move to the baseline's start,
// the arcs flat, and the close.
std::unique_ptr<Path> make_bounce_path(int arcs);

// Raises the arcs of the sounding notes and lays the others flat: segment
// i + 1 belongs to note i.
void set_arc_heights(const std::vector<Vectors::Segment*>& segments, const std::vector<bool>& states);
