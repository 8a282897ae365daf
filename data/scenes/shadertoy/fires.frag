#version 420
// Fires: three campfires side by side, their flames licking upwards through
// rising turbulence (the noise picture and a swirl) and leaping a
// little higher on every beat, under the glow they throw on the night.
uniform float iTime;
uniform vec2 iResolution;
uniform sampler2D iChannel0;  // the noise picture, 256 x 256, repeating
in vec2 uv;
out vec4 FragColor;

// Noise with one cell per unit of x.
float noise(vec2 x)
{
    return texture(iChannel0, x / 256.0).r;
}

vec3 flame_colour(float heat)
{
    heat = clamp(heat, 0.0, 1.0);
    float square = heat * heat;
    return vec3(1.25 * heat, 1.05 * square, 0.75 * square * square);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2(uv.x * aspect, uv.y);
    float t = iTime * 0.5;

    float w = aspect / 3.0;
    float fire = floor(p.x / w);
    float lx = (fract(p.x / w) - 0.5) * w;
    float leap = 1.0 + 0.15 * exp(-3.0 * fract(iTime + fire * 0.33));
    float h = (0.5 + 0.08 * sin(fire * 4.1 + t)) * leap;

    vec2 rise = vec2(p.x * 7.0, p.y * 5.0 - t * 4.0);
    // One read of the noise picture, the finer swirl from two sines (a read
    // costs more than both on the CPU renderer).
    float swirl = 0.5 + 0.5 * sin(rise.x * 2.9 + 1.7 * sin(rise.y * 2.3));
    float n = 0.7 * noise(rise) + 0.3 * swirl;

    float y = (p.y - 0.06) / h;
    // Narrowing upwards, bent and torn into tongues by the turbulence.
    float taper = max(1.0 - 0.7 * y, 0.08);
    float x = lx / (0.36 * w * taper) + (n - 0.5) * 1.2 * max(y, 0.0);
    float heat = max(1.0 - x * x, 0.0) * max(1.0 - y + (n - 0.55) * 1.3 * y, 0.0);
    heat *= step(-0.15, y);

    vec3 colour = vec3(0.02, 0.01, 0.03) + vec3(0.22, 0.07, 0.02) * exp(-2.5 * p.y) * leap;
    colour += flame_colour(heat * 1.15);
    // The embers under each fire.
    colour += vec3(0.5, 0.12, 0.02) * (1.0 - smoothstep(0.0, 0.07, p.y)) * (0.5 + 0.5 * n) *
              (1.0 - smoothstep(0.2 * w, 0.45 * w, abs(lx)));
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
