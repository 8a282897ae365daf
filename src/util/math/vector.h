// The small vector types: vec3 for geometry, vec4 for colours and
// homogeneous coordinates, float3 for tightly packed vertex arrays.
#pragma once

// x, y, z and a fourth component w that is 1 in every vec3 this code makes.
// The arithmetic uses x, y and z only; in-place operations leave w alone and
// assignment copies x, y and z but keeps the target's w.
class vec3 {
public:
    float x, y, z, w;

    vec3() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_), w(1.0f) {}
    vec3(const vec3& v) : x(v.x), y(v.y), z(v.z), w(1.0f) {}
    vec3& operator=(const vec3& v) {
        x = v.x;
        y = v.y;
        z = v.z;
        return *this;
    }

    void set(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
        w = 1.0f;
    }
    void fill(float a) { set(a, a, a); }

    vec3 operator+(const vec3& v) const { return vec3(x + v.x, y + v.y, z + v.z); }
    vec3 operator-(const vec3& v) const { return vec3(x - v.x, y - v.y, z - v.z); }
    vec3 operator*(float s) const { return vec3(x * s, y * s, z * s); }
    vec3 operator/(float s) const { return vec3(x / s, y / s, z / s); }
    vec3& operator+=(const vec3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    vec3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    // Component 0..2; 3 is w.
    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }

    // x, y, z and w, consecutive.
    float* data() { return &x; }
    const float* data() const { return &x; }

    float length() const;
    // In place; a zero vector gives non-finite components.
    void normalize();

    // Rotated about the z axis; 0 degrees gives an exact copy, w included.
    vec3 rotated_z(float degrees) const;
    void rotate_z(float degrees);

    // A random point on the unit sphere, drawn from the program's generator.
    void randomize_unit();

private:
    struct WithW {};
    vec3(float x_, float y_, float z_, float w_, WithW) : x(x_), y(y_), z(z_), w(w_) {}
};

vec3 cross(const vec3& a, const vec3& b);
vec3 lerp(const vec3& a, const vec3& b, float t);

// Four floats, read as x, y, z, w or as r, g, b, a; zero by default.
class vec4 {
public:
    union {
        struct {
            float x, y, z, w;
        };
        struct {
            float r, g, b, a;
        };
    };

    vec4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    vec4(float a_, float b_, float c_, float d_) : x(a_), y(b_), z(c_), w(d_) {}
    vec4(const vec3& rgb, float alpha) : x(rgb.x), y(rgb.y), z(rgb.z), w(alpha) {}

    void set(float a_, float b_, float c_, float d_) {
        x = a_;
        y = b_;
        z = c_;
        w = d_;
    }
    void fill(float v) { set(v, v, v, v); }

    vec4 operator+(const vec4& v) const { return vec4(x + v.x, y + v.y, z + v.z, w + v.w); }

    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }

    // The four floats, for glUniform4fv and glLightfv.
    float* data() { return &x; }
    const float* data() const { return &x; }
};

vec4 lerp(const vec4& a, const vec4& b, float t);

// A packed x, y, z triple for vertex arrays.
struct float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    void set(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
    }
};

static_assert(sizeof(vec3) == 4 * sizeof(float), "vec3 must be four packed floats");
static_assert(sizeof(vec4) == 4 * sizeof(float), "vec4 must be four packed floats");
static_assert(sizeof(float3) == 3 * sizeof(float), "float3 must be three packed floats");
