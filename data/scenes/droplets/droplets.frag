#version 420
// Marks on the droplets plane, in its texture coordinates. Spots are soft
// round glows that fade out; droplets are rings that spread from where they
// fell, a single sharp front or (ring mode) a front trailed by ripples. The
// plane itself is a pool of dark water, darkening toward its rim so its
// edges never show, and each spot lights the water around it.
//
// The arrays hold as many marks as the scene ever uploads (it keeps the
// freshest ones when more would be visible), and the loops never run past
// them whatever the counts say.
const int MAX_MARKS = 32;

uniform vec4 Color;
uniform float Beats;
uniform vec3 Spots[MAX_MARKS];     // x, y, fade (1 new .. 0 gone)
uniform int NumSpots;
uniform vec2 SpotSettings;         // size (tenths of the plane), fade beats
uniform vec4 Droplets[MAX_MARKS];  // x, y, fade, start beat
uniform int NumDroplets;
uniform vec4 DropletSettings;      // speed (plane per beat), fade beats, falloff, ring mode
in vec2 uv;
out vec4 FragColor;

const vec3 SPOT_COLOUR = vec3(1.0, 0.92, 0.8);
const vec3 RING_COLOUR = vec3(0.65, 0.88, 1.0);
const vec3 WATER = vec3(0.03, 0.11, 0.19);
const vec3 SPOT_GLOW = vec3(0.16, 0.13, 0.09);  // the water lit around a spot

void main()
{
    vec3 colour = vec3(0.0);
    float alpha = 0.0;
    // Full depth in the middle of the pool, none at its rim.
    vec3 water = WATER * (1.0 - smoothstep(0.3, 0.5, length(uv - 0.5)));

    float radius = max(SpotSettings.x * 0.1, 0.001);
    int spots = clamp(NumSpots, 0, MAX_MARKS);
    for (int i = 0; i < spots; ++i) {
        float fade = Spots[i].z;
        if (!(fade > 0.0)) continue;  // also a fade that is not a number
        vec2 d = (uv - Spots[i].xy) / radius;
        float a = min(fade, 1.0) * exp(-2.0 * dot(d, d));
        colour += SPOT_COLOUR * a;
        alpha += a;
        water += SPOT_GLOW * min(fade, 1.0) * exp(-0.25 * dot(d, d));
    }

    float falloff = max(DropletSettings.z, 1.0);
    bool ripples = DropletSettings.w > 0.5;
    int drops = clamp(NumDroplets, 0, MAX_MARKS);
    for (int i = 0; i < drops; ++i) {
        float k = Droplets[i].z;
        if (!(k > 0.0)) continue;
        float age = max(Beats - Droplets[i].w, 0.0);
        float front = DropletSettings.x * age * 0.5;
        // Distance from the front in units of the falloff: 0 on the front,
        // negative inside the ring.
        float e = (length(uv - Droplets[i].xy) - front) * falloff;
        float ring = exp(-e * e);
        if (ripples && e < 0.0) ring = max(ring, exp(e * 0.12) * pow(0.5 + 0.5 * cos(e * 0.9), 4.0));
        float a = min(k, 1.0) * ring;
        colour += RING_COLOUR * a;
        alpha += a;
    }

    // The marks' colour is their alpha-weighted mix; overlaps grow the
    // cover, not the brightness, so nothing burns out. The water shows
    // where they do not cover it.
    vec3 tint = alpha > 0.0 ? colour / alpha : vec3(0.0);
    vec3 rgb = mix(min(water, vec3(0.5)), clamp(tint, 0.0, 1.0), clamp(alpha, 0.0, 1.0));
    FragColor = vec4(rgb * Color.rgb, Color.a);
}
