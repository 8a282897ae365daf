#version 420
// Dancing metaballs: six coloured blobs swing on their own Lissajous paths
// and swell on every beat; where they come close they melt into one surface,
// its colour blended from the blobs that make it.
uniform float iTime;        // music position in beats
uniform vec2 iResolution;   // target size in pixels
in vec2 uv;
out vec4 FragColor;

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    float t = iTime * 0.5;

    float field = 0.0;
    vec3 tint = vec3(0.0);
    for (int i = 0; i < 6; ++i) {
        float fi = float(i);
        vec2 centre = vec2(sin(t * (0.7 + 0.13 * fi) + fi * 1.7) * 1.2,
                           cos(t * (0.9 + 0.11 * fi) + fi * 2.3) * 0.6);
        float swell = 1.0 + 0.25 * exp(-4.0 * fract(iTime + fi * 0.25));
        float r = (0.17 + 0.02 * fi) * swell;
        vec2 d = p - centre;
        float f = r * r / (dot(d, d) + 1e-4);
        field += f;
        tint += f * (0.5 + 0.5 * cos(6.2832 * (fi / 6.0 + vec3(0.0, 0.33, 0.67))));
    }
    tint /= field;

    float edge = fwidth(field) + 1e-4;
    float inside = smoothstep(1.0 - edge, 1.0 + edge, field);
    float depth = clamp((field - 1.0) * 0.6, 0.0, 1.0);
    vec3 surface = tint * (0.45 + 0.45 * depth) + vec3(0.25) * pow(depth, 6.0);
    vec3 back = mix(vec3(0.04, 0.02, 0.08), vec3(0.12, 0.04, 0.16), uv.y) + tint * 0.3 * min(field, 1.0);
    FragColor = vec4(mix(back, surface, inside), 1.0);
}
