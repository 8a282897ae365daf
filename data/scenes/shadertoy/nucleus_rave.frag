#version 420
// Nucleus rave: a cluster of protons and neutrons that jumps on every beat,
// three electrons racing round their tilted orbits, and rings of colour
// pulsing out from the middle, one a beat, their hue sweeping round.
uniform float iTime;
uniform vec2 iResolution;
in vec2 uv;
out vec4 FragColor;

vec2 rotate(vec2 v, float a)
{
    float c = cos(a), s = sin(a);
    return vec2(c * v.x - s * v.y, s * v.x + c * v.y);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    float kick = exp(-5.0 * fract(iTime));
    float r = length(p);

    // Rings running outwards, one a beat.
    float wave = fract(r * 1.5 - iTime);
    vec3 hue = 0.5 + 0.5 * cos(6.2832 * (iTime * 0.125 - r * 0.3 + vec3(0.0, 0.33, 0.67)));
    vec3 colour = hue * (0.08 + 0.35 * smoothstep(0.75, 1.0, wave) * (1.0 - smoothstep(0.2, 1.8, r)));

    // Orbits and electrons.
    for (int i = 0; i < 3; ++i) {
        float fi = float(i);
        vec2 q = rotate(p, fi * 2.0944 + iTime * 0.05);
        q.y /= 0.32;  // an ellipse seen at a slant
        float orbit = abs(length(q) - 0.85);
        colour += vec3(0.3, 0.5, 1.0) * 0.004 / (orbit * orbit * 0.1 + 0.004) * 0.12;
        float a = iTime * (1.3 + 0.4 * fi) + fi * 2.0;
        vec2 e = q - 0.85 * vec2(cos(a), sin(a));
        e.y *= 0.32;
        colour += vec3(0.6, 0.8, 1.0) * 0.002 / (dot(e, e) + 0.002);
    }

    // The nucleus: seven spheres, the nearest drawn where they overlap.
    float scale = 1.0 + 0.18 * kick;
    float nearest = -1.0;
    vec2 front = vec2(0.0);  // where the pixel lies on the nearest sphere
    float proton = 0.0;
    for (int i = 0; i < 7; ++i) {
        float fi = float(i);
        vec3 c = i == 0 ? vec3(0.0, 0.0, 0.1)
                        : vec3(cos(fi * 1.047 + iTime * 0.5), sin(fi * 1.047 + iTime * 0.5), mod(fi, 2.0) - 0.5) * 0.12;
        vec2 d = (p - c.xy * scale) / (0.11 * scale);
        float height = c.z + sqrt(max(1.0 - dot(d, d), 0.0));
        bool covers = dot(d, d) < 1.0 && height > nearest;
        nearest = covers ? height : nearest;
        front = covers ? d : front;
        proton = covers ? 1.0 - mod(fi, 2.0) : proton;
    }
    colour += vec3(1.0, 0.5, 0.7) * 0.03 * (0.5 + kick) / (r * r + 0.04);
    // Shaded once, for the nearest sphere only.
    if (nearest > -1.0) {
        vec3 n = vec3(front, sqrt(max(1.0 - dot(front, front), 0.0)));
        float light = max(dot(n, vec3(-0.45, 0.55, 0.7)), 0.0);
        float shine = light * light;
        shine *= shine;
        shine *= shine * light;  // light^9
        vec3 base = mix(vec3(0.55, 0.6, 0.75), vec3(0.95, 0.25, 0.35), proton);
        colour = base * (0.3 + 0.65 * light) + vec3(0.25) * shine * shine;
    }
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
