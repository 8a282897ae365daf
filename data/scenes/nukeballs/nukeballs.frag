#version 420
// Glowing balls: five radioactive spheres circling a common centre at
// different heights and depths, shaded as lit spheres, each wrapped in a
// green halo that flares on every beat, in front of a green glow that swells
// with the beat (the balls alone leave nine tenths of the frame dark). The
// nearest sphere wins where two overlap; the halos add up.
uniform float Time;  // music position in beats
in vec2 uv;
out vec4 FragColor;

void main()
{
    float aspect = abs(dFdy(uv.y)) / max(abs(dFdx(uv.x)), 1e-6);
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    float beat = exp(-4.0 * fract(Time));

    vec3 colour = mix(vec3(0.01, 0.03, 0.02), vec3(0.03, 0.08, 0.04), uv.y);
    // The glow behind: wide, brightest a little above the middle.
    vec2 g = p - vec2(0.0, 0.15);
    colour += vec3(0.10, 0.30, 0.08) * (0.75 + 0.35 * beat) * exp(-0.9 * dot(g, g));
    float nearest = -10.0;
    vec2 front = vec2(0.0);  // where the pixel lies on the nearest sphere
    vec3 front_tint = vec3(0.0);
    vec3 glow = vec3(0.0);
    for (int i = 0; i < 5; ++i) {
        float fi = float(i);
        float angle = Time * (0.35 + 0.07 * fi) + fi * 1.2566;
        // On a tilted circle: depth z from -1 (far) to 1 (near), nearer is bigger.
        float z = sin(angle);
        vec2 centre = vec2(cos(angle) * 1.1, 0.35 * sin(Time * 0.23 + fi * 2.1) + 0.25 * z);
        float radius = (0.2 + 0.04 * fi / 4.0) * (1.0 + 0.25 * z) * (1.0 + 0.08 * beat);
        vec2 d = (p - centre) / radius;
        float dd = dot(d, d);
        vec3 tint = mix(vec3(0.35, 1.0, 0.25), vec3(0.95, 0.9, 0.2), fract(fi * 0.37));
        glow += tint * (0.06 + 0.08 * beat) / (dd + 0.4) * (0.7 + 0.3 * z);
        bool covers = dd < 1.0 && z > nearest;
        nearest = covers ? z : nearest;
        front = covers ? d : front;
        front_tint = covers ? tint : front_tint;
    }
    colour += glow * 0.5;
    // Shaded once, for the nearest sphere only.
    if (nearest > -10.0) {
        vec3 n = vec3(front, sqrt(max(1.0 - dot(front, front), 0.0)));
        float light = max(dot(n, vec3(-0.39, 0.49, 0.78)), 0.0);
        float rim = 1.0 - n.z;
        float shine = light * light;
        shine *= shine;
        shine *= shine;  // light^8
        colour = front_tint * (0.25 + 0.6 * light + 0.6 * rim * rim * rim) + vec3(0.3) * shine * shine * shine + glow * 0.1;
    }
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
