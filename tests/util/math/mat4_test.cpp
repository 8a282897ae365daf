#include "support/test_support.h"

#include <cmath>

#include "util/math/mat4.h"

namespace {

void expect_matrix(const mat4& actual, const mat4& expected, float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.get(i), expected.get(i), tolerance) << "element " << i;
}

mat4 sample_affine() {
    mat4 m;
    m.translate(1.0f, -2.0f, 3.0f);
    m.rotate(30.0f, 1.0f, 2.0f, 0.5f);
    m.scale(2.0f, 0.5f, 1.5f);
    return m;
}

mat4 sample_general() {
    return mat4(2, 1, 0, 0.5f, -1, 3, 1, 0, 0.25f, 1, 4, 1, 1, 0, -2, 3);
}

// The full product, written plainly.
mat4 reference_product(const mat4& a, const mat4& b) {
    mat4 result;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.at(k, r) * b.at(c, k);
            result.set(c * 4 + r, sum);
        }
    return result;
}

TEST(Mat4, ConstructionAndPresets) {
    mat4 identity;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(identity.get(i), i % 5 == 0 ? 1.0f : 0.0f);
    expect_matrix(mat4(0), identity, 0.0f);

    mat4 unit_square(1);
    expect_matrix(unit_square, mat4(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1), 0.0f);
    vec4 low = unit_square * vec4(0, 0, 0, 1);
    vec4 high = unit_square * vec4(1, 1, 0, 1);
    EXPECT_EQ(low.x, -1.0f);
    EXPECT_EQ(low.y, -1.0f);
    EXPECT_EQ(high.x, 1.0f);
    EXPECT_EQ(high.y, 1.0f);

    EXPECT_FATAL(mat4(2), "Invalid matrix preset type");
    EXPECT_FATAL(mat4(-1), "Invalid matrix preset type");
}

TEST(Mat4, ElementAccessOutsideTheMatrix) {
    mat4 m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    EXPECT_EQ(m.get(16), 0.0f);
    EXPECT_EQ(m.get(-1), 0.0f);
    EXPECT_EQ(m.at(3, 2), 14.0f);
    EXPECT_EQ(m.data()[7], 7.0f);
    mat4 before = m;
    m.set(16, 99.0f);
    m.set(-1, 99.0f);
    expect_matrix(m, before, 0.0f);
    m.set(6, -6.0f);
    EXPECT_EQ(m.at(1, 2), -6.0f);
}

TEST(Mat4, ProductEqualsTheFullProductForEveryKindOfOperand) {
    const mat4 operands[] = {sample_affine(), sample_general(), mat4(1)};
    for (const mat4& a : operands)
        for (const mat4& b : operands) {
            expect_matrix(a * b, reference_product(a, b), 1e-5f);
            mat4 in_place = a;
            in_place *= b;
            expect_matrix(in_place, reference_product(a, b), 1e-5f);
        }
}

TEST(Mat4, TimesVector) {
    mat4 affine = sample_affine();
    vec4 v = affine * vec4(1, 2, 3, 7);
    EXPECT_EQ(v.w, 7.0f);  // an affine matrix keeps w
    EXPECT_NEAR(v.x, affine.at(0, 0) + 2 * affine.at(1, 0) + 3 * affine.at(2, 0) + 7 * affine.at(3, 0),
                1e-5f);
    mat4 general = sample_general();
    vec4 g = general * vec4(1, 0, 0, 1);
    EXPECT_FLOAT_EQ(g.w, 0.5f + 3.0f);
}

TEST(Mat4, ScalarProductAndDivision) {
    mat4 m = sample_general();
    expect_matrix(m * 2.0f / 2.0f, m, 1e-6f);
    expect_matrix(m / 0.0f, m, 0.0f);
    expect_matrix(m / 1.0f, m, 0.0f);
    EXPECT_FLOAT_EQ((m / 4.0f).get(0), 0.5f);
}

TEST(Mat4, TransposeInverseAndNormalMatrix) {
    mat4 m = sample_general();
    mat4 t = m.transposed();
    EXPECT_EQ(t.at(1, 0), m.at(0, 1));
    t.transpose();
    expect_matrix(t, m, 0.0f);

    for (const mat4& a : {sample_affine(), sample_general()}) {
        expect_matrix(a * a.inverse(), mat4(), 1e-5f);
        expect_matrix(a.normal_matrix(), a.inverse().transposed(), 0.0f);
    }

    mat4 zero_row = sample_general();
    for (int c = 0; c < 4; ++c) zero_row.set(c * 4 + 2, 0.0f);
    expect_matrix(zero_row.inverse(), mat4(), 0.0f);
}

TEST(Mat4, Rotate) {
    mat4 m;
    m.rotate(90.0f, 0, 0, 1);
    vec3 v(1, 0, 0);
    m.rotate_in_place(v);
    EXPECT_NEAR(v.x, 0.0f, 1e-6f);
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);
    EXPECT_NEAR(v.z, 0.0f, 1e-6f);

    mat4 unchanged = sample_general();
    unchanged.rotate(45.0f, 0, 0, 0);
    unchanged.rotate(45.0f, 0, 5e-5f, 0);
    expect_matrix(unchanged, sample_general(), 0.0f);
}

TEST(Mat4, TransformPointAndDirection) {
    mat4 m;
    m.translate(1, 2, 3);
    m.scale(2, 2, 2);
    vec3 p(1, 1, 1);
    m.transform_point(p);
    EXPECT_FLOAT_EQ(p.x, 3.0f);
    EXPECT_FLOAT_EQ(p.z, 5.0f);
    vec3 d = m.transform_direction(vec3(1, 1, 1));
    EXPECT_FLOAT_EQ(d.x, 2.0f);
    EXPECT_FLOAT_EQ(d.z, 2.0f);

    // The projection divides by the fourth component.
    mat4 projection;
    projection.perspective(90.0f, 1.0f, 1.0f, 10.0f);
    float q[3] = {1.0f, 1.0f, -2.0f};
    projection.transform_point(q);
    EXPECT_FLOAT_EQ(q[0], 0.5f);
    EXPECT_FLOAT_EQ(q[1], 0.5f);
}

TEST(Mat4, PerspectiveReplacesTheMatrix) {
    mat4 m = sample_general();
    m.perspective(45.0f, 16.0f / 9.0f, 1.0f, 100.0f);
    EXPECT_EQ(m.get(11), -1.0f);
    EXPECT_EQ(m.get(15), 0.0f);
    EXPECT_EQ(m.get(1), 0.0f);
    EXPECT_NEAR(m.get(5), 1.0f / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_NEAR(m.get(14), -200.0f / 99.0f, 1e-5);

    // A near plane at 0 keeps the field of view, as gluPerspective does.
    m.perspective(45.0f, 2.0f, 0.0f, 100.0f);
    EXPECT_NEAR(m.get(0), 0.5f / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_NEAR(m.get(5), 1.0f / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_EQ(m.get(10), -1.0f);
    EXPECT_EQ(m.get(14), 0.0f);
}

}  // namespace
