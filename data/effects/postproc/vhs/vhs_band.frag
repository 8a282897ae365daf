#version 420
// Worn tape as vhs.frag (keep the two alike), with a noisy tracking band
// rolling down the picture at strength BandOn.
uniform sampler2D Texture;
uniform float Alpha;
uniform float iTime;
uniform float BandOn;
in vec2 uv;
out vec4 FragColor;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(41.3, 289.1))) * 43758.5453);
}

void main()
{
    float wobble = sin(uv.y * 37.0 + iTime * 4.0) * 0.6 + sin(uv.y * 113.0 - iTime * 9.0) * 0.4;
    vec2 p = uv + vec2(wobble * 0.006 * Alpha, 0.0);
    float drift = 0.004 * Alpha;
    vec4 c = texture(Texture, p);
    c.r = texture(Texture, p + vec2(drift, 0.0)).r;
    c.b = texture(Texture, p - vec2(drift, 0.0)).b;
    float centre = 1.0 - fract(iTime * 0.25);
    float inside = 1.0 - smoothstep(0.0, 0.04, abs(uv.y - centre));
    float n = hash(floor(gl_FragCoord.xy * vec2(0.25, 1.0)) + floor(iTime * 30.0));
    vec4 shifted = texture(Texture, p + vec2(0.03 * inside, 0.0));
    c = mix(c, shifted + vec4(vec3(n * 0.5), 0.0), inside * BandOn);
    FragColor = c;
}
