// The simplest geometry everything draws with: three 2D quads (GL_QUADS, each
// from a vertex array of its own) and three 3D shapes built into the shared
// vertex streams and drawn through an EasyDrawObject of their own.
//
// No routine binds a program, texture or matrix: the caller binds a program
// whose inputs use position 0, normal 1, texture coordinate 2, tangent 3.
#pragma once

#include <vector>

// The geometry of the last sphere, box or plane built, one element per vertex
// in each stream (positions, normals and tangents 3 floats, texcoords 2).
extern std::vector<float> easydraw_positions;
extern std::vector<float> easydraw_normals;
extern std::vector<float> easydraw_texcoords;
extern std::vector<float> easydraw_tangents;

// The square (-1,-1)..(1,1) with texture coordinates (0,0)..(1,1).
void easydraw_fullscreen_quad();
// (x,y)..(x+w,y+h) with texture coordinates (0,0)..(1,1).
void easydraw_quad(float x, float y, float w, float h);
// The same rectangle with texture coordinates (s0,t0) at (x,y), (s1,t0),
// (s1,t1) at (x+w,y+h) and (s0,t1).
void easydraw_quad_uv(float x, float y, float w, float h, float s0, float s1, float t0, float t1);

// An icosahedron subdivided `divisions` times (1..5; below 1 draws nothing,
// above 5 ends the run), 20 x 4^divisions unshared triangles. Rebuilt only
// when the arguments differ from the last build. Inverted turns the normals
// inward.
void easydraw_sphere(float radius, int divisions, bool inverted);
// The axis-aligned box of that size around the origin, 24 vertices, GL_QUADS.
void easydraw_box(float width, float height, float depth, bool inverted);
// The rectangle of that size in the plane y = 0, normal +Y (-Y inverted).
void easydraw_plane(float width, float depth, bool inverted);

// Helpers of the sphere: scales a three-float vector to unit length in place;
// emits (depth 0) or subdivides the spherical triangle p1, p2, p3.
void easydraw_normalize(float* v);
void easydraw_subdivide(const float* p1, const float* p2, const float* p3, int depth,
                        float radius, bool inverted);
