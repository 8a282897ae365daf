// The 4 x 4 single-precision matrix of the whole program, stored column-major
// as OpenGL expects (element of column c, row r at index c * 4 + r), so its
// 16 floats go to a uniform as they are.
//
// Translations, scalings, rotations and the look-at transform multiply on the
// right, like glTranslate, glScale, glRotate and gluLookAt; perspective and
// ortho replace the matrix.
#pragma once

#include "util/math/vector.h"

class mat4 {
public:
    enum Preset {
        PRESET_IDENTITY = 0,
        // ortho(0, 1, 0, 1, -1, 1): maps x and y from 0..1 to -1..1; the
        // projection of every full-screen pass.
        PRESET_UNIT_SQUARE = 1,
    };

    mat4();
    // The values in storage order.
    mat4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
         float m9, float m10, float m11, float m12, float m13, float m14, float m15);
    // PRESET_IDENTITY or PRESET_UNIT_SQUARE; anything else ends the run.
    explicit mat4(int preset);

    void set_identity();

    // Element at a storage index; 0 outside 0..15.
    float get(int index) const;
    float at(int column, int row) const { return get(column * 4 + row); }
    // An index outside 0..15 is ignored.
    void set(int index, float value);

    float* data() { return m_; }
    const float* data() const { return m_; }

    mat4 operator*(const mat4& other) const;
    mat4& operator*=(const mat4& other);
    // An affine matrix keeps v's w.
    vec4 operator*(const vec4& v) const;
    mat4 operator*(float s) const;
    // Division by 0 or 1 returns an unchanged copy.
    mat4 operator/(float s) const;

    void transpose();
    mat4 transposed() const;
    // A singular matrix (determinant exactly 0) gives the identity.
    mat4 inverse() const;
    // The transpose of the inverse.
    mat4 normal_matrix() const;

    // The upper-left 3 x 3 part times v; translation ignored.
    vec3 transform_direction(const vec3& v) const;
    void rotate_in_place(vec3& v) const;
    // (x, y, z, 1) transformed and divided by its fourth component, in place.
    void transform_point(vec3& v) const;
    void transform_point(float v[3]) const;

    void translate(float x, float y, float z);
    void translate(const vec3& v);
    void scale(float x, float y, float z);
    // An axis shorter than 1e-4 leaves the matrix unchanged.
    void rotate(float degrees, float x, float y, float z);
    void look_at(float eye_x, float eye_y, float eye_z, float centre_x, float centre_y,
                 float centre_z, float up_x, float up_y, float up_z);
    void perspective(float fovy_degrees, float aspect, float near, float far);
    void ortho(float left, float right, float bottom, float top, float near, float far);

private:
    // Bottom row (elements 3, 7, 11, 15) is (0, 0, 0, 1).
    bool is_affine() const;

    float m_[16];
};
