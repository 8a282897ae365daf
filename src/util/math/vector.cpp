#include "util/math/vector.h"

#include <cmath>

#include "util/math/scalar.h"

float vec3::length() const { return std::sqrt(x * x + y * y + z * z); }

void vec3::normalize() {
    float len = length();
    x /= len;
    y /= len;
    z /= len;
}

vec3 vec3::rotated_z(float degrees) const {
    if (degrees == 0.0f) return vec3(x, y, z, w, WithW{});
    vec3 result(x, y, z);
    double a = degrees * M_PI / 180.0;
    double c = std::cos(a), s = std::sin(a);
    result.x = static_cast<float>(x * c - y * s);
    result.y = static_cast<float>(x * s + y * c);
    return result;
}

void vec3::rotate_z(float degrees) { *this = rotated_z(degrees); }

void vec3::randomize_unit() {
    z = random_range(-1.0f, 1.0f);
    float r = std::sqrt(1.0f - z * z);
    float a = random_range(-3.1415927f, 3.1415927f);
    x = std::cos(a) * r;
    y = std::sin(a) * r;
}

vec3 cross(const vec3& a, const vec3& b) {
    return vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

vec3 lerp(const vec3& a, const vec3& b, float t) {
    return vec3(lerp(a.x, b.x, t), lerp(a.y, b.y, t), lerp(a.z, b.z, t));
}

vec4 lerp(const vec4& a, const vec4& b, float t) {
    return vec4(lerp(a.x, b.x, t), lerp(a.y, b.y, t), lerp(a.z, b.z, t), lerp(a.w, b.w, t));
}
