#include "util/math/mat4.h"

#include <cmath>

#include "system/fatal.h"

mat4::mat4() { set_identity(); }

mat4::mat4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
           float m8, float m9, float m10, float m11, float m12, float m13, float m14, float m15)
    : m_{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}

mat4::mat4(int preset) {
    switch (preset) {
        case PRESET_IDENTITY:
            set_identity();
            break;
        case PRESET_UNIT_SQUARE:
            ortho(0.0f, 1.0f, 0.0f, 1.0f, -1.0f, 1.0f);
            break;
        default:
            FATAL_ERROR("Invalid matrix preset type");
    }
}

void mat4::set_identity() {
    for (float& e : m_) e = 0.0f;
    m_[0] = m_[5] = m_[10] = m_[15] = 1.0f;
}

float mat4::get(int index) const { return index >= 0 && index < 16 ? m_[index] : 0.0f; }

void mat4::set(int index, float value) {
    if (index >= 0 && index < 16) m_[index] = value;
}

bool mat4::is_affine() const {
    return m_[3] == 0.0f && m_[7] == 0.0f && m_[11] == 0.0f && m_[15] == 1.0f;
}

mat4 mat4::operator*(const mat4& other) const {
    const float* a = m_;
    const float* b = other.m_;
    mat4 result;
    float* out = result.m_;
    bool a_affine = is_affine();
    bool b_affine = other.is_affine();
    // With an affine right-hand side, column c of b ends in (0, 0, 0, c == 3);
    // with an affine left-hand side, row 3 of the result is b's row 3.
    int rows = a_affine ? 3 : 4;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < rows; ++r) {
            float sum = a[r] * b[c * 4] + a[4 + r] * b[c * 4 + 1] + a[8 + r] * b[c * 4 + 2];
            if (b_affine)
                sum += c == 3 ? a[12 + r] : 0.0f;
            else
                sum += a[12 + r] * b[c * 4 + 3];
            out[c * 4 + r] = sum;
        }
        if (a_affine) out[c * 4 + 3] = b[c * 4 + 3];
    }
    return result;
}

mat4& mat4::operator*=(const mat4& other) {
    *this = *this * other;
    return *this;
}

vec4 mat4::operator*(const vec4& v) const {
    vec4 result(m_[0] * v.x + m_[4] * v.y + m_[8] * v.z + m_[12] * v.w,
                m_[1] * v.x + m_[5] * v.y + m_[9] * v.z + m_[13] * v.w,
                m_[2] * v.x + m_[6] * v.y + m_[10] * v.z + m_[14] * v.w,
                m_[3] * v.x + m_[7] * v.y + m_[11] * v.z + m_[15] * v.w);
    if (is_affine()) result.w = v.w;
    return result;
}

mat4 mat4::operator*(float s) const {
    mat4 result(*this);
    for (float& e : result.m_) e *= s;
    return result;
}

mat4 mat4::operator/(float s) const {
    if (s == 0.0f || s == 1.0f) return *this;
    return *this * (1.0f / s);
}

void mat4::transpose() { *this = transposed(); }

mat4 mat4::transposed() const {
    mat4 result;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) result.m_[r * 4 + c] = m_[c * 4 + r];
    return result;
}

mat4 mat4::inverse() const {
    const float* m = m_;
    float inv[16];
    // Cofactors, stored transposed: the adjugate.
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] +
             m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] +
             m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] -
              m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] +
              m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    mat4 result;
    if (det == 0.0f) return result;
    for (int i = 0; i < 16; ++i) result.m_[i] = inv[i] / det;
    return result;
}

mat4 mat4::normal_matrix() const { return inverse().transposed(); }

vec3 mat4::transform_direction(const vec3& v) const {
    return vec3(m_[0] * v.x + m_[4] * v.y + m_[8] * v.z, m_[1] * v.x + m_[5] * v.y + m_[9] * v.z,
                m_[2] * v.x + m_[6] * v.y + m_[10] * v.z);
}

void mat4::rotate_in_place(vec3& v) const { v = transform_direction(v); }

void mat4::transform_point(float v[3]) const {
    float x = v[0], y = v[1], z = v[2];
    float tw = m_[3] * x + m_[7] * y + m_[11] * z + m_[15];
    v[0] = (m_[0] * x + m_[4] * y + m_[8] * z + m_[12]) / tw;
    v[1] = (m_[1] * x + m_[5] * y + m_[9] * z + m_[13]) / tw;
    v[2] = (m_[2] * x + m_[6] * y + m_[10] * z + m_[14]) / tw;
}

void mat4::transform_point(vec3& v) const {
    float p[3] = {v.x, v.y, v.z};
    transform_point(p);
    v.x = p[0];
    v.y = p[1];
    v.z = p[2];
}

void mat4::translate(float x, float y, float z) {
    // The last column becomes this * (x, y, z, 1). All four rows are
    // updated, so a projection matrix is translated correctly too.
    for (int r = 0; r < 4; ++r) m_[12 + r] = m_[r] * x + m_[4 + r] * y + m_[8 + r] * z + m_[12 + r];
}

void mat4::translate(const vec3& v) { translate(v.x, v.y, v.z); }

void mat4::scale(float x, float y, float z) {
    for (int r = 0; r < 4; ++r) {
        m_[r] *= x;
        m_[4 + r] *= y;
        m_[8 + r] *= z;
    }
}

void mat4::rotate(float degrees, float x, float y, float z) {
    float len = std::sqrt(x * x + y * y + z * z);
    if (len < 1e-4f) return;
    x /= len;
    y /= len;
    z /= len;
    float a = degrees * 0.017453292f;
    float s = std::sin(a), c = std::cos(a), k = 1.0f - c;
    mat4 rotation(x * x * k + c, x * y * k + z * s, x * z * k - y * s, 0.0f,  //
                  x * y * k - z * s, y * y * k + c, y * z * k + x * s, 0.0f,  //
                  x * z * k + y * s, y * z * k - x * s, z * z * k + c, 0.0f,  //
                  0.0f, 0.0f, 0.0f, 1.0f);
    *this *= rotation;
}

void mat4::look_at(float eye_x, float eye_y, float eye_z, float centre_x, float centre_y,
                   float centre_z, float up_x, float up_y, float up_z) {
    vec3 f(centre_x - eye_x, centre_y - eye_y, centre_z - eye_z);
    f.normalize();
    vec3 s = cross(f, vec3(up_x, up_y, up_z));
    s.normalize();
    vec3 u = cross(s, f);
    // Rows s, u and -f, written as columns of the storage order.
    mat4 view(s.x, u.x, -f.x, 0.0f,  //
              s.y, u.y, -f.y, 0.0f,  //
              s.z, u.z, -f.z, 0.0f,  //
              0.0f, 0.0f, 0.0f, 1.0f);
    *this *= view;
    translate(-eye_x, -eye_y, -eye_z);
}

void mat4::perspective(float fovy_degrees, float aspect, float near, float far) {
    // near / top and near / right with the near plane divided out, as
    // gluPerspective does, so a near plane at 0 still gives a finite matrix.
    float cotangent = 1.0f / std::tan(fovy_degrees * static_cast<float>(M_PI) / 360.0f);
    for (float& e : m_) e = 0.0f;
    m_[0] = cotangent / aspect;
    m_[5] = cotangent;
    m_[10] = -(far + near) / (far - near);
    m_[11] = -1.0f;
    m_[14] = -2.0f * far * near / (far - near);
}

void mat4::ortho(float left, float right, float bottom, float top, float near, float far) {
    set_identity();
    m_[0] = 2.0f / (right - left);
    m_[5] = 2.0f / (top - bottom);
    m_[10] = -2.0f / (far - near);
    m_[12] = -(right + left) / (right - left);
    m_[13] = -(top + bottom) / (top - bottom);
    m_[14] = -(far + near) / (far - near);
}
