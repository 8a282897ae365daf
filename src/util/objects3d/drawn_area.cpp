#include "util/objects3d/drawn_area.h"

#include <algorithm>
#include <cmath>

void DrawnArea::add_box(const vec3& lo, const vec3& hi, const mat4& modelview, const mat4& projection) {
    if (everywhere) return;
    const mat4 m = projection * modelview;
    for (int corner = 0; corner < 8; ++corner) {
        const vec4 p(corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z, 1.0f);
        const vec4 clip = m * p;
        // Within a hair of the eye's plane the division has no useful bound.
        if (!(clip.w > 1e-6f)) {
            everywhere = true;
            return;
        }
        const float x = clip.x / clip.w, y = clip.y / clip.w;
        // Nor has a corner placed nowhere (NaN) or past every float.
        if (!std::isfinite(x) || !std::isfinite(y)) {
            everywhere = true;
            return;
        }
        if (empty) {
            min_x = max_x = x;
            min_y = max_y = y;
            empty = false;
        } else {
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
        }
    }
}

bool positions_box(const std::vector<float>& positions, int stride, vec3& lo, vec3& hi) {
    if (stride < 3 || positions.size() < static_cast<size_t>(stride)) return false;
    lo.set(positions[0], positions[1], positions[2]);
    hi = lo;
    for (size_t i = 0; i + static_cast<size_t>(stride) <= positions.size(); i += static_cast<size_t>(stride)) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], positions[i + k]);
            hi[k] = std::max(hi[k], positions[i + k]);
        }
    }
    return true;
}

namespace {

// Pixels from a to b (a <= b) on an axis, rounded outward and clipped to
// 0..size; none when either end is not finite (std::clamp passes a NaN on,
// and a NaN has no integer).
void pixel_span(double a, double b, int size, int& from, int& to) {
    if (!std::isfinite(a) || !std::isfinite(b)) {
        from = to = 0;
        return;
    }
    const double lo = std::floor(a), hi = std::ceil(b);
    from = static_cast<int>(std::clamp(lo, 0.0, static_cast<double>(size)));
    to = static_cast<int>(std::clamp(hi, 0.0, static_cast<double>(size)));
}

}  // namespace

ViewportRect drawn_pixels(const DrawnArea& area, const ViewportRect& viewport, int width, int height, int reach) {
    if (area.everywhere) return {0, 0, width, height};
    if (area.empty) return {0, 0, 0, 0};
    int x0, x1, y0, y1;
    pixel_span(viewport.x + (area.min_x * 0.5 + 0.5) * viewport.width - reach,
               viewport.x + (area.max_x * 0.5 + 0.5) * viewport.width + reach, width, x0, x1);
    pixel_span(viewport.y + (area.min_y * 0.5 + 0.5) * viewport.height - reach,
               viewport.y + (area.max_y * 0.5 + 0.5) * viewport.height + reach, height, y0, y1);
    if (x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

ViewportRect texture_rect_onto(const ViewportRect& rect, int width, int height, const ViewportRect& onto) {
    if (width <= 0 || height <= 0 || rect.width <= 0 || rect.height <= 0) return {onto.x, onto.y, 0, 0};
    const double sx = static_cast<double>(onto.width) / width, sy = static_cast<double>(onto.height) / height;
    const int x0 = onto.x + static_cast<int>(std::floor(rect.x * sx));
    const int y0 = onto.y + static_cast<int>(std::floor(rect.y * sy));
    const int x1 = onto.x + static_cast<int>(std::ceil((rect.x + rect.width) * sx));
    const int y1 = onto.y + static_cast<int>(std::ceil((rect.y + rect.height) * sy));
    return {x0, y0, x1 - x0, y1 - y0};
}

ViewportRect intersect(const ViewportRect& a, const ViewportRect& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.width, b.x + b.width), y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

std::vector<ViewportRect> rects_outside(const ViewportRect& outer, const ViewportRect& inner_given) {
    std::vector<ViewportRect> parts;
    if (outer.width <= 0 || outer.height <= 0) return parts;
    const ViewportRect inner = intersect(outer, inner_given);
    if (inner.width <= 0 || inner.height <= 0) {
        parts.push_back(outer);
        return parts;
    }
    const int top = outer.y + outer.height, inner_top = inner.y + inner.height;
    if (inner.y > outer.y) parts.push_back({outer.x, outer.y, outer.width, inner.y - outer.y});
    if (top > inner_top) parts.push_back({outer.x, inner_top, outer.width, top - inner_top});
    if (inner.x > outer.x) parts.push_back({outer.x, inner.y, inner.x - outer.x, inner.height});
    const int right = outer.x + outer.width, inner_right = inner.x + inner.width;
    if (right > inner_right) parts.push_back({inner_right, inner.y, right - inner_right, inner.height});
    return parts;
}
