// The instancing rule of the scene graph, which drawing and the world
// matrices share.
#include "util/objects3d/objects3d.h"

#include "support/test_support.h"

namespace {

mat4 shift(float x) {
    mat4 m;
    m.translate(x, 0, 0);
    return m;
}

std::vector<mat4> shifts(std::initializer_list<float> xs) {
    std::vector<mat4> out;
    for (float x : xs) out.push_back(shift(x));
    return out;
}

std::vector<float> x_of(const std::vector<mat4>& list) {
    std::vector<float> out;
    for (const mat4& m : list) out.push_back(m.get(12));
    return out;
}

TEST(CombineInstances, OneOutputPerInstanceIncomingOnTheLeft) {
    struct Case {
        const char* what;
        std::vector<mat4> incoming, node;
        std::vector<float> x;
    };
    const Case cases[] = {
        {"one by one", shifts({1}), shifts({10}), {11}},
        {"one incoming, three node", shifts({1}), shifts({10, 20, 30}), {11, 21, 31}},
        {"three incoming, one node", shifts({1, 2, 3}), shifts({10}), {11, 12, 13}},
        {"pairs", shifts({1, 2}), shifts({10, 20}), {11, 22}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<mat4> out;
        ASSERT_TRUE(combine_instances(c.incoming, c.node, out));
        EXPECT_EQ(x_of(out), c.x);
    }
    // Incoming on the left: a rotation there turns the node's offset.
    mat4 turn;
    turn.rotate(90, 0, 0, 1);
    std::vector<mat4> out;
    combine_instances({turn}, shifts({1}), out);
    EXPECT_NEAR(out[0].get(13), 1.0f, 1e-6f);
    // The output may be the incoming list itself.
    std::vector<mat4> in_place = shifts({1});
    ASSERT_TRUE(combine_instances(in_place, shifts({10, 20}), in_place));
    EXPECT_EQ(x_of(in_place), (std::vector<float>{11, 21}));
}

TEST(CombineInstances, DifferentCountsAboveOneDoNotCombine) {
    std::vector<mat4> out = shifts({5});
    EXPECT_FALSE(combine_instances(shifts({1, 2}), shifts({1, 2, 3}), out));
    EXPECT_EQ(x_of(out), (std::vector<float>{5}));
}

}  // namespace
