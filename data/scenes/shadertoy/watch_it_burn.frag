#version 420
// Watch it burn: a written page catches fire at a different place every
// sixteen beats; the burning edge eats its way across along the grain of the
// noise picture, scorching the paper brown before it, glowing orange where
// it burns and leaving dark ash with dying embers behind.
uniform float iTime;
uniform vec2 iResolution;
uniform sampler2D iChannel0;
in vec2 uv;
out vec4 FragColor;

float hash(float n)
{
    return fract(sin(n * 91.345) * 47453.5453);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2(uv.x * aspect, uv.y);
    const float period = 16.0;
    float cycle = floor(iTime / period);
    float t = mod(iTime, period) / period;

    // The paper's fibres and the embers from a hash of the pixel: cheaper here
    // than a second read of the noise picture.
    float fibre = hash(dot(floor(gl_FragCoord.xy), vec2(1.0, 157.0)) * 0.001);
    float swirl = 0.5 + 0.5 * sin(p.x * 13.0 + 2.1 * sin(p.y * 11.0));
    float n = 0.75 * texture(iChannel0, p * 5.0 / 256.0).r + 0.25 * swirl;
    vec2 origin = vec2(hash(cycle) * aspect, hash(cycle + 7.0));
    float v = length(p - origin) * 0.55 + n * 0.35;
    float front = t * 1.45 - 0.08;
    float e = v - front;  // positive: not burnt yet

    // The page: paper with lines of writing.
    vec3 paper = vec3(0.93, 0.87, 0.74) * (0.92 + 0.08 * fibre);
    float row = floor(p.y * 18.0);
    float ink = step(fract(p.y * 18.0), 0.28) * step(0.1, p.y) * step(p.y, 0.9);
    ink *= step(0.12 * aspect, p.x) * step(p.x, 0.88 * aspect);
    ink *= step(fract(p.x * 7.0 + hash(row) * 3.0), 0.78 - 0.2 * hash(row + floor(p.x * 7.0)));
    paper = mix(paper, vec3(0.2, 0.2, 0.25), ink * 0.8);

    float scorch = 1.0 - smoothstep(0.0, 0.09, e);
    vec3 colour = mix(paper, vec3(0.22, 0.1, 0.03), scorch);
    float flicker = 0.8 + 0.2 * sin(iTime * 9.0 + n * 20.0);
    vec3 ash = vec3(0.03, 0.025, 0.02) + vec3(0.6, 0.12, 0.02) * step(0.93, fibre) * exp(e * 12.0) * flicker;
    colour = e < 0.0 ? ash : colour;
    colour += vec3(1.0, 0.45, 0.08) * exp(-abs(e) * 70.0) * flicker;
    FragColor = vec4(min(colour, vec3(0.97)), 1.0);
}
