// The ball-and-stick tree, kept apart from GL: five random directions at each
// of three levels (5 + 25 + 125 = 155 branches), a ball at the end of every
// branch and a stick joining it to its parent's ball. One value, the
// "ballsProgress" track, sets the growth, the spread between levels and the
// spins; `animate` rewrites every instance matrix from it.
//
// Branches are numbered depth first, pre-order: branch k's ball is ball
// matrix k + 1 (matrix 0 is the ball at the origin, never moved) and its
// stick is stick matrix k.
#pragma once

#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"

struct BranchNode {
    std::vector<vec3> directions;     // unit vectors, five once built
    std::vector<BranchNode> children;  // child i belongs to direction i; none on the last level
};

class BallTree {
public:
    static constexpr int kBranchesPerNode = 5;

    // Draws the directions from the program's random generator and appends
    // the first-built matrices: one ball and one stick per branch.
    void build(std::vector<mat4>& balls, std::vector<mat4>& sticks);
    // Rewrites balls[1..] and every stick for `progress`.
    void animate(float progress, std::vector<mat4>& balls, std::vector<mat4>& sticks);

    // The first level's branch length at `progress`: 0 at 0, about
    // root_length near 105 (give or take a wobble of 0.5).
    static float growth(float progress, float root_length);
    // How many times shorter each level is than its parent at `progress`.
    static float divisor(float progress);

    unsigned max_depth = 3;
    float root_length = 6.0f;
    float length_divisor = 2.0f;  // rewritten by animate
    int instance_counter = 0;     // the branch being placed
    BranchNode tree;

private:
    void build_branches(BranchNode& node, const mat4& parent, unsigned depth, float length,
                        std::vector<mat4>& balls, std::vector<mat4>& sticks);
    void update_branches(BranchNode& node, const mat4& parent, unsigned depth, float length, float progress,
                         std::vector<mat4>& balls, std::vector<mat4>& sticks);
};
