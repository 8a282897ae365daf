#include "util/math/saturate.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(Saturate, TrackValuesToIntegers) {
    struct Case {
        double value;
        int32_t truncated, floored, ceiled;
    } cases[] = {
        {0.0, 0, 0, 0},
        {2.75, 2, 2, 3},
        {-2.75, -2, -3, -2},
        {-0.5, 0, -1, 0},
        {kNaN, 0, 0, 0},
        {-kNaN, 0, 0, 0},
        {kInf, INT32_MAX, INT32_MAX, INT32_MAX},
        {-kInf, INT32_MIN, INT32_MIN, INT32_MIN},
        {3e9, INT32_MAX, INT32_MAX, INT32_MAX},
        {-3e9, INT32_MIN, INT32_MIN, INT32_MIN},
        {2147483647.0, INT32_MAX, INT32_MAX, INT32_MAX},
        {2147483646.5, 2147483646, 2147483646, INT32_MAX},
        {-2147483648.0, INT32_MIN, INT32_MIN, INT32_MIN},
        {-2147483648.5, INT32_MIN, INT32_MIN, INT32_MIN},
        {static_cast<double>(std::numeric_limits<float>::max()), INT32_MAX, INT32_MAX, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(saturate_int(c.value), c.truncated);
        EXPECT_EQ(saturate_floor(c.value), c.floored);
        EXPECT_EQ(saturate_ceil(c.value), c.ceiled);
    }
}

TEST(Saturate, IndicesNameNothingOutsideTheRange) {
    struct Case {
        double value;
        size_t count;
        int index;
    } cases[] = {
        {0.9, 3, 0}, {-0.5, 3, 0}, {2.999, 3, 2}, {-1.0, 3, -1}, {3.0, 3, -1}, {0.0, 0, -1},
        {kNaN, 3, -1}, {kInf, 3, -1}, {-kInf, 3, -1}, {1e12, SIZE_MAX, -1}, {5e9, SIZE_MAX, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(saturate_index(c.value, c.count), c.index) << c.value << " of " << c.count;
}

}  // namespace
