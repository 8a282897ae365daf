#include "scenes/scene_sjakkvektor/ball_tree.h"

#include <cmath>

#include "util/objects3d/mesh.h"

namespace {

mat4 translated(const mat4& m, const vec3& v) {
    mat4 out = m;
    out.translate(v);
    return out;
}

mat4 rotation(float degrees, float x, float y, float z) {
    mat4 out;
    out.rotate(degrees, x, y, z);
    return out;
}

mat4 stick(const mat4& parent, const vec3& q) {
    mat4 segment;
    segment_matrix(vec3(0, 0, 0), q, segment);
    return parent * segment;
}

}  // namespace

float BallTree::growth(float p, float root_length) {
    return 0.5f * root_length + 0.5f * std::sin(0.5f * p) - 0.5f * root_length * std::cos(0.03f * p);
}

float BallTree::divisor(float p) { return 2.0f + 0.6f * std::sin(0.71f * p); }

void BallTree::build(std::vector<mat4>& balls, std::vector<mat4>& sticks) {
    build_branches(tree, mat4(), 1, root_length, balls, sticks);
}

void BallTree::build_branches(BranchNode& node, const mat4& parent, unsigned depth, float length,
                              std::vector<mat4>& balls, std::vector<mat4>& sticks) {
    node.directions.resize(kBranchesPerNode);
    for (vec3& direction : node.directions) {
        direction.randomize_unit();
        const vec3 q = direction * length;
        const mat4 ball = translated(parent, q);
        balls.push_back(ball);
        sticks.push_back(stick(parent, q));
        if (depth < max_depth) {
            node.children.emplace_back();
            build_branches(node.children.back(), ball, depth + 1, length / length_divisor, balls, sticks);
        }
    }
}

void BallTree::animate(float p, std::vector<mat4>& balls, std::vector<mat4>& sticks) {
    instance_counter = 0;
    const float length = growth(p, root_length);
    length_divisor = divisor(p);
    const mat4 turn = rotation(p * 0.1f * (3.0f - std::sin(0.23f * p)), std::sin(0.01f * p), 0.2f, 0.4f);
    update_branches(tree, turn, 1, length, p, balls, sticks);
}

void BallTree::update_branches(BranchNode& node, const mat4& parent, unsigned depth, float length, float p,
                               std::vector<mat4>& balls, std::vector<mat4>& sticks) {
    // The node's spin turns its children's frames, so deeper levels wheel
    // around their parents; a stick takes the parent's frame alone, so it
    // always joins the parent ball to its own.
    const float k = static_cast<float>(instance_counter);
    const mat4 spin = rotation((k * 0.1f + 1.0f) * p, 0.3f * std::sin(0.2f * k), 0.2f, 0.2f * std::cos(0.3f * k));
    for (size_t i = 0; i < node.directions.size(); ++i) {
        const vec3 q = node.directions[i] * length;
        const mat4 ball = translated(parent, q) * spin;
        balls[static_cast<size_t>(instance_counter) + 1] = ball;
        sticks[static_cast<size_t>(instance_counter)] = stick(parent, q);
        ++instance_counter;
        if (depth < max_depth)
            update_branches(node.children[i], ball, depth + 1, length / length_divisor, p, balls, sticks);
    }
}
