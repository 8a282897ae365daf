#include "scenes/scene_musicvectornotes/bounce_line.h"

#include "util/vectorengine/path.h"

Vectors::SegmentCubic bounce_arc(int i, int arcs) {
    const float n = static_cast<float>(arcs + 2);
    const float middle = (static_cast<float>(i) - 0.5f) * 1280.0f / n;
    return Vectors::SegmentCubic(vec3(middle - kArcHalfWidth, kBounceBaseline, 0.0f),
                                 vec3(middle + kArcHalfWidth, kBounceBaseline, 0.0f),
                                 vec3(static_cast<float>(i) * 1280.0f / n, kBounceBaseline, 0.0f));
}

std::unique_ptr<Path> make_bounce_path(int arcs) {
    const vec3 white(1.0f, 1.0f, 1.0f);
    const vec3 red(1.0f, 0.0f, 0.0f);  // unused: the line is not filled
    auto path = std::make_unique<Path>("Bounce", true, false, &white, &red);
    path->move_to(0.0f, kBounceBaseline);
    for (int i = 1; i <= arcs; ++i) path->add_segment(std::make_unique<Vectors::SegmentCubic>(bounce_arc(i, arcs)));
    path->close();
    return path;
}

void set_arc_heights(const std::vector<Vectors::Segment*>& segments, const std::vector<bool>& states) {
    for (size_t i = 0; i < states.size() && i + 1 < segments.size(); ++i) {
        Vectors::Segment* segment = segments[i + 1];
        const int type = segment->GetType();
        if (type != Vectors::SEGMENT_CUBIC && type != Vectors::SEGMENT_CUBIC_SMOOTH) continue;
        auto* arc = static_cast<Vectors::SegmentCubic*>(segment);
        const float y = states[i] ? kBounceRaised : kBounceBaseline;
        arc->c1.y = y;
        arc->c2.y = y;
    }
}
