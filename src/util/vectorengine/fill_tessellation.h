// The fill of a flattened path: its contours, which may overlap, cross
// themselves and hold holes, cut into triangles under the odd winding rule
// (a region enclosed an odd number of times is filled; one covered by two
// contours is a hole).
//
// The work is done by the GLU tessellator, one per process, made on the
// first call and kept for the run; it needs no GL context. Main thread only.
#pragma once

#include <vector>

// Replaces fill_vertices (x, y, 0 per vertex) and fill_starts (per polygon,
// the index in fill_vertices of its first number) with the fill of the
// contours of `points` (x, y, z per point) that start at `contour_starts`.
// Every polygon is a triangle. Coordinates are taken as floats. Contours of
// fewer than three points, or of points on one line, fill nothing; input the
// tessellator rejects leaves the fill empty. A contour whose length is no
// multiple of three numbers ends the run.
void tessellate(const std::vector<double>& points, const std::vector<int>& contour_starts,
                std::vector<float>& fill_vertices, std::vector<int>& fill_starts);
