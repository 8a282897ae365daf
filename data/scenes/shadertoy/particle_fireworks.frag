#version 420
// Particle fireworks: four bursts, each of 24 sparks flying out from a
// random place, slowing, falling and fading, then bursting anew elsewhere in
// a new colour; each burst a beat after the one before. A spark is found by
// its direction, so every pixel looks at one spark a burst, not all of them.
uniform float iTime;
uniform vec2 iResolution;
in vec2 uv;
out vec4 FragColor;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

// Distance from p to the segment a..b.
float segment(vec2 p, vec2 a, vec2 b)
{
    vec2 ab = b - a;
    float h = clamp(dot(p - a, ab) / max(dot(ab, ab), 1e-6), 0.0, 1.0);
    return length(p - a - ab * h);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    const float sparks = 24.0;
    const float life = 4.0;  // beats

    // A few faint stars, from a hash of 2 x 2 pixel cells: cheaper here than a
    // read of the noise picture.
    vec3 colour = vec3(0.01, 0.01, 0.03) + vec3(0.5) * step(0.996, hash(floor(gl_FragCoord.xy * 0.5)));

    for (int i = 0; i < 4; ++i) {
        float fi = float(i);
        float clock = iTime + fi;
        float cycle = floor(clock / life);
        float s = mod(clock, life);  // beats since this burst
        vec2 seed = vec2(cycle, fi);
        float h = hash(seed);
        vec2 centre = vec2((h * 2.0 - 1.0) * 0.8 * aspect, 0.1 + 0.6 * fract(h * 13.7));
        vec3 tint = 0.1 + 0.9 * abs(fract(h * 71.3 + vec3(0.0, 0.33, 0.67)) * 2.0 - 1.0);
        float spread = 0.7 * (1.0 - exp(-1.6 * s));  // the sparks slow down
        float fall = 0.06 * s * s;
        float fade = (1.0 - s / life) * (1.0 - s / life);

        // Seen from the burst's falling centre the sparks lie on a circle.
        vec2 q = p - centre + vec2(0.0, fall);
        float index = floor(atan(q.y, q.x) / 6.2832 * sparks + 0.5);  // the spark in this direction
        float angle = index / sparks * 6.2832;
        float speed = 0.8 + 0.2 * fract(index * 0.618 + fi * 0.31);
        vec2 head = vec2(cos(angle), sin(angle)) * spread * speed;
        float d = segment(q, head * 0.75, head);
        float twinkle = 0.75 + 0.25 * abs(fract(iTime * 4.0 + index * 0.37) * 2.0 - 1.0);
        colour += tint * fade * twinkle * 0.0012 / (d * d + 0.001);
        // The flash of the burst, then the haze of its smoke.
        colour += tint * exp(-8.0 * s) * 0.04 / (dot(q, q) + 0.02);
        colour += tint * 0.12 * fade * (1.0 - smoothstep(0.0, spread * 1.1, length(q)));
    }
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
