#version 420
// Glowing balls: five radioactive spheres circling a common centre at
// different heights and depths, shaded as lit spheres, each wrapped in a
// green halo that flares on every beat. The nearest sphere wins where two
// overlap; the halos add up.
uniform float Time;  // music position in beats
in vec2 uv;
out vec4 FragColor;

void main()
{
    float aspect = abs(dFdy(uv.y)) / max(abs(dFdx(uv.x)), 1e-6);
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    float beat = exp(-4.0 * fract(Time));

    vec3 colour = mix(vec3(0.01, 0.03, 0.02), vec3(0.03, 0.08, 0.04), uv.y);
    float nearest = -10.0;
    vec3 ball = vec3(0.0);
    vec3 glow = vec3(0.0);
    for (int i = 0; i < 5; ++i) {
        float fi = float(i);
        float angle = Time * (0.35 + 0.07 * fi) + fi * 1.2566;
        // On a tilted circle: depth z from -1 (far) to 1 (near), nearer is bigger.
        float z = sin(angle);
        vec2 centre = vec2(cos(angle) * 1.1, 0.35 * sin(Time * 0.23 + fi * 2.1) + 0.25 * z);
        float radius = (0.16 + 0.03 * fi / 4.0) * (1.0 + 0.25 * z) * (1.0 + 0.08 * beat);
        vec2 d = (p - centre) / radius;
        float dd = dot(d, d);
        vec3 tint = mix(vec3(0.35, 1.0, 0.25), vec3(0.95, 0.9, 0.2), fract(fi * 0.37));
        glow += tint * (0.06 + 0.08 * beat) / (dd + 0.4) * (0.7 + 0.3 * z);
        if (dd < 1.0 && z > nearest) {
            nearest = z;
            vec3 n = vec3(d, sqrt(1.0 - dd));
            float light = max(dot(n, normalize(vec3(-0.4, 0.5, 0.8))), 0.0);
            float rim = pow(1.0 - n.z, 3.0);
            ball = tint * (0.25 + 0.6 * light) + vec3(0.3) * pow(light, 24.0) + tint * rim * 0.6;
        }
    }
    colour += glow * 0.5;
    if (nearest > -10.0) colour = ball + glow * 0.1;
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
