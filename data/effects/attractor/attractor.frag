#version 420 compatibility
// A strange-attractor glow: a few steps of a de Jong map from each pixel,
// its coefficients drifting with time; the pixel glows by how close the orbit
// passes an attractor point. Alpha is the glow times "intensity", so the
// quad blends over what is below in the current colour.
uniform float time;
uniform float intensity;

in vec2 uv;

void main()
{
    vec2 p = (uv - 0.5) * 4.0;
    float a = 1.4 + 0.3 * sin(time * 0.11), b = -2.3 + 0.2 * cos(time * 0.07);
    float c = 2.4 + 0.2 * sin(time * 0.05), d = -2.1 + 0.3 * cos(time * 0.13);
    vec2 q = p;
    float near = 1e3;
    for (int i = 0; i < 10; ++i) {
        q = vec2(sin(a * q.y) - cos(b * q.x), sin(c * q.x) - cos(d * q.y));
        near = min(near, length(q - p));
    }
    float glow = exp(-near * 3.0);
    vec3 tint = mix(vec3(0.25, 0.45, 1.0), vec3(1.0, 0.8, 0.4), glow);
    gl_FragColor = vec4(gl_Color.rgb * tint, clamp(glow * intensity * gl_Color.a, 0.0, 1.0));
}
