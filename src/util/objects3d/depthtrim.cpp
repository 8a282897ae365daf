#include "util/objects3d/depthtrim.h"

void measure_depth_range(const std::vector<float>& positions, int stride, float& z_min, float& z_max) {
    if (stride <= 0) return;
    const size_t step = static_cast<size_t>(stride);
    for (size_t at = step - 1; at < positions.size(); at += step) {
        if (positions[at] < z_min) z_min = positions[at];
        if (positions[at] > z_max) z_max = positions[at];
    }
}

TrimmedIndices trim_by_depth(const std::vector<float>& depths, float z_min, float z_max, float trim_start,
                             float trim_end) {
    const float range = z_max - z_min;
    const size_t triangles = depths.size();
    TrimmedIndices trimmed;
    // Counted from each end rather than searched, so a list that is not
    // quite sorted still gives counts within the list.
    if (trim_start > 0.0f) {
        const float lo = z_min + range * trim_start;
        size_t leading = 0;
        while (leading < triangles && depths[leading] < lo) ++leading;
        trimmed.start = static_cast<int>(3 * leading);
    }
    if (trim_end > 0.0f) {
        const float hi = z_max - range * trim_end;
        size_t trailing = 0;
        while (trailing < triangles && !(depths[triangles - 1 - trailing] < hi)) ++trailing;
        trimmed.end = static_cast<int>(3 * trailing);
    }
    return trimmed;
}

int trimmed_index_count(size_t count, const TrimmedIndices& trimmed) {
    const long long left = static_cast<long long>(count) - trimmed.start - trimmed.end;
    return left > 0 ? static_cast<int>(left) : 0;
}
