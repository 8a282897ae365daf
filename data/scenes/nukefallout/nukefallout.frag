#version 420
// Fallout: ash drifting down in three layers (far ones small, slow and dim)
// over a dull orange sky, a dim sun low in the haze and the broken skyline
// of a city. Time is the music position in beats; the sun's glow breathes
// with every other beat.
uniform float Time;
in vec2 uv;
out vec4 FragColor;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

void main()
{
    float aspect = abs(dFdy(uv.y)) / max(abs(dFdx(uv.x)), 1e-6);
    vec2 p = vec2(uv.x * aspect, uv.y);

    // Sky: dark brown above, a sick orange at the horizon, the sun behind haze.
    vec3 colour = mix(vec3(0.55, 0.32, 0.14), vec3(0.08, 0.06, 0.06), smoothstep(0.15, 0.95, uv.y));
    vec2 sun = vec2(0.62 * aspect, 0.33);
    float breath = 0.85 + 0.15 * cos(3.1416 * Time);
    colour += vec3(0.5, 0.28, 0.1) * breath * 0.03 / (dot(p - sun, p - sun) + 0.03);

    // The skyline: blocks of random height, a few with a ragged top.
    float column = floor(p.x * 14.0);
    float height = 0.08 + 0.14 * hash(vec2(column, 3.0)) * step(0.25, hash(vec2(column, 7.0)));
    height -= 0.02 * step(0.7, hash(vec2(floor(p.x * 60.0), column)));
    if (uv.y < height) colour = vec3(0.04, 0.03, 0.03);

    // Ash: one flake per cell of each layer, the cells falling and swaying.
    for (int layer = 0; layer < 3; ++layer) {
        float fl = float(layer);
        float scale = 7.0 + 6.0 * fl;
        vec2 q = p * scale + vec2(0.4 * sin(Time * 0.3 + fl) , Time * (0.45 - 0.1 * fl));
        vec2 cell = floor(q);
        vec2 f = fract(q) - 0.5;
        vec2 offset = vec2(hash(cell), hash(cell + 17.0)) - 0.5;
        float size = 0.06 + 0.08 * hash(cell + 5.0);
        float d = length(f - offset * 0.7);
        float flake = 1.0 - smoothstep(size * 0.5, size, d);
        colour = mix(colour, vec3(0.78, 0.74, 0.68), flake * (0.75 - 0.2 * fl));
    }
    FragColor = vec4(colour, 1.0);
}
