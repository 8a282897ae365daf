#include "support/test_support.h"

#include <cmath>
#include <limits>

#include "util/texture/texture.h"

namespace {

TEST(FitRect, ThePictureKeepsItsShapeSpanningOneSideCentredOnTheOther) {
    const struct {
        const char* name;
        float aspect, x, y, w, h, ratio;
        FitRect want;
    } cases[] = {
        // A photo wider than the target's aspect in the whole unit square:
        // full width, empty bands above and below.
        {"wide photo, 16:9 target", 2.0f, 0, 0, 1, 1, 16.0f / 9, {0, 0.0555556f, 1, 0.888889f}},
        {"photo of the target's shape fills it", 16.0f / 9, 0, 0, 1, 1, 16.0f / 9, {0, 0, 1, 1}},
        {"tall photo: full height, centred across", 0.5f, 0, 0, 1, 1, 1, {0.25f, 0, 0.5f, 1}},
        // The city photo's default square, larger than the target.
        {"default square", 16.0f / 9, -0.5f, -0.5f, 2.5f, 2.5f, 16.0f / 9, {-0.5f, -0.5f, 2.5f, 2.5f}},
        {"4:3 photo on 16:9", 4.0f / 3, 0, 0, 1, 1, 16.0f / 9, {0.125f, 0, 0.75f, 1}},
        {"offset rectangle", 2.0f, 0.2f, 0.1f, 0.4f, 0.4f, 1, {0.2f, 0.2f, 0.4f, 0.2f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FitRect r{};
        ASSERT_TRUE(fit_rect(c.aspect, c.x, c.y, c.w, c.h, c.ratio, &r));
        EXPECT_NEAR(r.x, c.want.x, 1e-5f);
        EXPECT_NEAR(r.y, c.want.y, 1e-5f);
        EXPECT_NEAR(r.width, c.want.width, 1e-5f);
        EXPECT_NEAR(r.height, c.want.height, 1e-5f);
    }
}

TEST(FitRect, OnlyNotANumberLeavesNoFit) {
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    FitRect r{};
    EXPECT_FALSE(fit_rect(nan, 0, 0, 1, 1, 1, &r));
    EXPECT_FALSE(fit_rect(2.0f, 0, 0, nan, nan, 1, &r));
    EXPECT_FALSE(fit_rect(2.0f, 0, 0, 1, nan, 1, &r));
    // An infinite square is infinitely wide and tall enough.
    EXPECT_TRUE(fit_rect(2.0f, 0, 0, inf, inf, 1, &r));
    // A zero or negative square still places the picture (nothing shows).
    EXPECT_TRUE(fit_rect(2.0f, 0, 0, 0, 0, 1, &r));
    EXPECT_TRUE(fit_rect(2.0f, 0, 0, -1, -1, 1, &r));
}

}  // namespace
