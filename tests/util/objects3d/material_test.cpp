#include "util/objects3d/material.h"

#include "support/test_support.h"

namespace {

void expect_vec4(const vec4& actual, const vec4& expected) {
    EXPECT_FLOAT_EQ(actual.r, expected.r);
    EXPECT_FLOAT_EQ(actual.g, expected.g);
    EXPECT_FLOAT_EQ(actual.b, expected.b);
    EXPECT_FLOAT_EQ(actual.a, expected.a);
}

TEST(Material, DefaultsAreAGreyishWhiteOpaqueSurface) {
    Material m;
    EXPECT_EQ(m.name, "dummy");
    EXPECT_EQ(m.shininess, 20.0f);
    expect_vec4(m.ambient, vec4(0.1f, 0.1f, 0.1f, 1));
    expect_vec4(m.diffuse, vec4(1, 1, 1, 1));
    expect_vec4(m.specular, vec4(0.5f, 0.5f, 0.5f, 1));
    expect_vec4(m.emission, vec4(0, 0, 0, 1));
    expect_vec4(m.glow, vec4(0, 0, 0, 1));
    expect_vec4(m.color_offset, vec4(0, 0, 0, 0));
    EXPECT_TRUE(m.diffuseColors.empty());
    EXPECT_EQ(m.diffuse_map, nullptr);
    EXPECT_EQ(m.glow_map, nullptr);
    EXPECT_EQ(m.normal_map, nullptr);
    EXPECT_EQ(m.emission_map, nullptr);
    EXPECT_FALSE(m.is_transparent());
}

TEST(Material, PresetsSetAmbientAndDiffuseFromTheirTable) {
    struct Case {
        unsigned preset;
        vec4 ambient, diffuse;
    };
    const Case cases[] = {
        {0, {0.34f, 0.06f, 0.06f, 1}, {0.67f, 0.12f, 0.12f, 1}},
        {1, {0, 0.37f, 0.09f, 1}, {0, 0.75f, 0.18f, 1}},
        {2, {0, 0.23f, 0.31f, 1}, {0, 0.45f, 0.63f, 1}},
        {3, {0.47f, 0.37f, 0.09f, 1}, {0.94f, 0.75f, 0.18f, 1}},
        {4, {0, 0, 0, 1}, {0, 0, 0, 1}},
        {5, {0.5f, 0.47f, 0.44f, 1}, {0.99f, 0.95f, 0.9f, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset);
        Material m(c.preset);
        EXPECT_EQ(m.shininess, 12.5f);
        expect_vec4(m.ambient, c.ambient);
        expect_vec4(m.diffuse, c.diffuse);
        expect_vec4(m.specular, vec4(0.5f, 0.5f, 0.5f, 1));
        expect_vec4(m.emission, vec4(0, 0, 0, 1));
        EXPECT_FALSE(m.is_transparent());
    }
}

TEST(Material, PresetKeepsOffsetColoursAndNames) {
    Material m;
    m.name = "tiles";
    m.color_offset = vec4(0.1f, 0.1f, 0.1f, 0);
    m.diffuseColors.assign(3, vec4(1, 0, 0, 1));
    m.emission = vec4(1, 1, 1, 1);
    m.set_default(5);
    EXPECT_EQ(m.name, "tiles");
    expect_vec4(m.color_offset, vec4(0.1f, 0.1f, 0.1f, 0));
    EXPECT_EQ(m.diffuseColors.size(), 3u);
    expect_vec4(m.emission, vec4(0, 0, 0, 1));
    // The offset is added unclamped.
    expect_vec4(m.offset(m.diffuse), vec4(1.09f, 1.05f, 1.0f, 1));
}

TEST(Material, PresetOutOfRangeEndsTheRun) {
    EXPECT_FATAL(Material(6), "Material default 6 out of range!");
    EXPECT_FATAL(Material(static_cast<unsigned>(-1)), "Material default 4294967295 out of range!");
}

TEST(Material, TransparentBelowAlphaPoint99) {
    Material m;
    m.diffuse.a = 0.98f;
    EXPECT_TRUE(m.is_transparent());
    m.diffuse.a = 0.99f;
    EXPECT_FALSE(m.is_transparent());
}

}  // namespace
