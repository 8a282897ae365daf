#include "support/test_support.h"

#include "util/math/random.h"
#include "util/math/scalar.h"

namespace {

TEST(Random, SeedOneGivesTheClassicSequence) {
    random_seed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(random_next(), value);
}

TEST(Random, ReseedingRepeatsTheSequenceAndStaysInRange) {
    random_seed(12345);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) first.push_back(random_next());
    random_seed(12345);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(random_next(), first[i]);
    int low = RANDOM_MAX, high = 0;
    random_seed(0xFFFFFFFFu);
    for (int i = 0; i < 200000; ++i) {
        int v = random_next();
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 32767);
}

TEST(RandomRange, StaysWithinItsBoundsAndAnEmptyRangeGivesItsValue) {
    random_seed(7);
    for (int i = 0; i < 100000; ++i) {
        float v = random_range(-2.5f, 4.0f);
        ASSERT_GE(v, -2.5f);
        ASSERT_LE(v, 4.0f);
    }
    for (float a : {0.0f, -3.25f, 1e6f}) EXPECT_EQ(random_range(a, a), a);
}

}  // namespace
