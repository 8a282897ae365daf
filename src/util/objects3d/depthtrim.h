// Depth trimming of a geometry object, free of GL. The object's triangles
// are sorted by depth, one depth each, ascending; two fractions cut a share
// off each end of the object's depth range, and only the triangles whose
// depth lies in what is left are drawn: a run of indices is left off the
// front of the index list and another off its back.
#pragma once

#include <cstddef>
#include <vector>

// Lowers `z_min` and raises `z_max` to the last coordinate of every
// position (`stride` floats each).
void measure_depth_range(const std::vector<float>& positions, int stride, float& z_min, float& z_max);

struct TrimmedIndices {
    int start = 0;  // indices left off the front of the list
    int end = 0;    // indices left off its back
};

// `depths` holds one depth per triangle, ascending. With range = z_max -
// z_min, a `trim_start` above 0 drops the leading triangles whose depth is
// below z_min + range * trim_start, a `trim_end` above 0 the trailing ones
// whose depth is not below z_max - range * trim_end; a fraction of 0 or
// below drops nothing. The two runs overlap when the fractions add up to
// more than 1.
TrimmedIndices trim_by_depth(const std::vector<float>& depths, float z_min, float z_max, float trim_start,
                             float trim_end);

// How many of `count` indices are drawn between the two runs; 0 when they
// meet or overlap.
int trimmed_index_count(size_t count, const TrimmedIndices& trimmed);
