#include "scenes/scene_musicvectors/drum_shapes.h"

#include <algorithm>

#include "util/vectorengine/path.h"

int drum_shape_for_key(int key) {
    switch (key) {
        case 36:
        case 37: return kBorderFrame;
        case 40:
        case 41:
        case 45: return kSnareShape;
        case 44:
        case 46: return kCornerX;
        default: return -1;
    }
}

std::array<bool, kDrumShapeCount> drum_shapes_shown(const std::vector<uint8_t>& keys, const std::vector<bool>& states) {
    std::array<bool, kDrumShapeCount> shown{};
    const size_t notes = std::min(keys.size(), states.size());
    for (size_t i = 0; i < notes; ++i) {
        if (!states[i]) continue;
        const int shape = drum_shape_for_key(keys[i]);
        if (shape >= 0) shown[static_cast<size_t>(shape)] = true;
    }
    return shown;
}

std::unique_ptr<Path> make_drum_shape(DrumShape shape) {
    const vec3 white(1.0f, 1.0f, 1.0f);
    const vec3 red(1.0f, 0.0f, 0.0f);
    std::unique_ptr<Path> path;
    switch (shape) {
        case kCornerX:
            // Four strokes from 0.1 to 0.3 of the area, mirrored into every
            // corner. Their contours are single lines: the fill is empty.
            path = std::make_unique<Path>("Hihat", true, true, &white, &white);
            path->move_to(128, 72);
            path->line_to(384, 216);
            path->move_to(128, 648);
            path->line_to(384, 504);
            path->move_to(1152, 648);
            path->line_to(896, 504);
            path->move_to(1152, 72);
            path->line_to(896, 216);
            break;
        case kBorderFrame:
            path = std::make_unique<Path>("Hihat", true, false, &white, &white);
            path->move_to(64, 36);
            path->line_to(1216, 36);
            path->line_to(1216, 684);
            path->line_to(64, 684);
            path->close();
            break;
        default:
            // Centred at (640, 360); each side a cubic through the corner
            // control points at 0.5 +- 0.2 of the area.
            path = std::make_unique<Path>("Snare", true, true, &white, &red);
            path->move_to(384, 360);
            path->cubic_to(384, 216, 384, 216, 640, 216);
            path->cubic_to(896, 216, 896, 216, 896, 360);
            path->cubic_to(896, 504, 896, 504, 640, 504);
            path->cubic_to(384, 504, 384, 504, 384, 360);
            path->close();
            break;
    }
    return path;
}
