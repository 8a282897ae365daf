#include "support/test_support.h"

#include <cmath>

#include "scenes/scene_sjakkvektor/ball_tree.h"
#include "util/math/random.h"
#include "util/objects3d/mesh.h"

namespace {

// A tree built the way the scene builds it: ball 0 (the origin) first.
struct Tree {
    Tree() {
        random_seed(11);
        tree.build(balls, sticks);
    }
    BallTree tree;
    std::vector<mat4> balls = std::vector<mat4>(1);
    std::vector<mat4> sticks;
};

vec3 position(const mat4& m) { return vec3(m.at(3, 0), m.at(3, 1), m.at(3, 2)); }

float distance(const vec3& a, const vec3& b) { return (a - b).length(); }

TEST(BallTree, FiveDirectionsOnThreeLevelsMake155BranchesAnd156Balls) {
    Tree t;
    EXPECT_EQ(t.balls.size(), 156u);
    EXPECT_EQ(t.sticks.size(), 155u);
    ASSERT_EQ(t.tree.tree.directions.size(), 5u);
    ASSERT_EQ(t.tree.tree.children.size(), 5u);
    const BranchNode& last_level = t.tree.tree.children[4].children[4];
    EXPECT_EQ(last_level.directions.size(), 5u);
    EXPECT_TRUE(last_level.children.empty());
    for (const vec3& d : t.tree.tree.children[2].directions) EXPECT_NEAR(d.length(), 1.0f, 1e-5f);

    for (float p : {0.0f, 15.0f, 105.0f, 1000.0f}) {
        t.tree.animate(p, t.balls, t.sticks);
        EXPECT_EQ(t.balls.size(), 156u);
        EXPECT_EQ(t.sticks.size(), 155u);
        EXPECT_EQ(t.tree.instance_counter, 155);
    }
}

TEST(BallTree, BuiltBranchesArePlacedDepthFirstAndHalveInLength) {
    Tree t;
    const vec3 d0 = t.tree.tree.directions[0];
    const vec3 d00 = t.tree.tree.children[0].directions[0];
    const vec3 d1 = t.tree.tree.directions[1];
    // Branch 0, then its subtree (1 + 5 + 25 branches), then branch 31.
    const vec3 ball0 = position(t.balls[1]);
    EXPECT_NEAR(distance(ball0, d0 * 6.0f), 0.0f, 1e-4f);
    EXPECT_NEAR(distance(position(t.balls[2]), d0 * 6.0f + d00 * 3.0f), 0.0f, 1e-4f);
    EXPECT_NEAR(distance(position(t.balls[32]), d1 * 6.0f), 0.0f, 1e-4f);
    // The stick of branch 0 runs from the origin to its ball.
    vec3 end(0, 0, 1);
    t.sticks[0].transform_point(end);
    EXPECT_NEAR(distance(end, ball0), 0.0f, 1e-4f);
}

TEST(BallTree, GrowthFollowsTheProgress) {
    const struct {
        float progress, length, divisor;
    } cases[] = {
        {0.0f, 0.0f, 2.0f},
        // 3 + 0.5 sin 7.5 - 3 cos 0.45
        {15.0f, 3.0f + 0.5f * std::sin(7.5f) - 3.0f * std::cos(0.45f), 2.0f + 0.6f * std::sin(10.65f)},
        {104.71976f, 6.0f + 0.5f * std::sin(52.35988f), 2.0f + 0.6f * std::sin(74.35103f)},  // 0.03 p = pi
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progress);
        EXPECT_NEAR(BallTree::growth(c.progress, 6.0f), c.length, 1e-4f);
        EXPECT_NEAR(BallTree::divisor(c.progress), c.divisor, 1e-5f);
    }
    EXPECT_NEAR(BallTree::growth(15.0f, 6.0f), 0.768f, 1e-3f);
}

TEST(BallTree, AtProgressZeroTheTreeCollapsesIntoTheCentreBall) {
    Tree t;
    t.tree.animate(0.0f, t.balls, t.sticks);
    mat4 shortest;
    segment_matrix(vec3(0, 0, 0), vec3(0, 0, 0), shortest);
    EXPECT_NEAR(shortest.at(2, 2), 0.0001f, 1e-9f);
    for (size_t i = 0; i < t.balls.size(); ++i)
        for (int k = 0; k < 16; ++k) ASSERT_NEAR(t.balls[i].get(k), mat4().get(k), 1e-6f) << "ball " << i;
    for (size_t i = 0; i < t.sticks.size(); ++i)
        for (int k = 0; k < 16; ++k) ASSERT_NEAR(t.sticks[i].get(k), shortest.get(k), 1e-6f) << "stick " << i;
}

TEST(BallTree, SticksJoinEachBallToItsParentAtAnyProgress) {
    Tree t;
    for (float p : {15.0f, 60.0f, 105.0f}) {
        SCOPED_TRACE(p);
        t.tree.animate(p, t.balls, t.sticks);
        EXPECT_EQ(position(t.balls[0]).length(), 0.0f) << "the centre ball never moves";
        const float first = BallTree::growth(p, 6.0f);
        const float second = first / BallTree::divisor(p);
        // Branch 0 from the origin, branch 1 from branch 0's ball, branch 2
        // from branch 1's, each as long as its level.
        const struct {
            size_t branch;
            vec3 from;
            float length;
        } joins[] = {
            {0, vec3(0, 0, 0), first},
            {1, position(t.balls[1]), second},
            {2, position(t.balls[2]), second / BallTree::divisor(p)},
            {31, vec3(0, 0, 0), first},
        };
        for (const auto& j : joins) {
            vec3 start(0, 0, 0), end(0, 0, 1);
            t.sticks[j.branch].transform_point(start);
            t.sticks[j.branch].transform_point(end);
            EXPECT_NEAR(distance(start, j.from), 0.0f, 1e-4f) << j.branch;
            EXPECT_NEAR(distance(end, position(t.balls[j.branch + 1])), 0.0f, 1e-4f) << j.branch;
            EXPECT_NEAR(distance(position(t.balls[j.branch + 1]), j.from), std::fabs(j.length), 1e-4f);
        }
    }
}

TEST(BallTree, TheSameProgressGivesTheSameMatricesAndTheSameSeedTheSameTree) {
    Tree a, b;
    a.tree.animate(42.0f, a.balls, a.sticks);
    b.tree.animate(7.0f, b.balls, b.sticks);
    b.tree.animate(42.0f, b.balls, b.sticks);
    for (size_t i = 0; i < a.balls.size(); ++i)
        for (int k = 0; k < 16; ++k) ASSERT_EQ(a.balls[i].get(k), b.balls[i].get(k));
    for (size_t i = 0; i < a.sticks.size(); ++i)
        for (int k = 0; k < 16; ++k) ASSERT_EQ(a.sticks[i].get(k), b.sticks[i].get(k));
}

}  // namespace
