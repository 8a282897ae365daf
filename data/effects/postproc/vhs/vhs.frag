#version 420
// Worn tape: rows wobble sideways and the colour channels drift apart with
// strength Alpha. The same with a rolling tracking band is vhs_band.frag,
// which the pass draws with while BandOn is on: the band's work cost every
// pixel even when it was off.
uniform sampler2D Texture;
uniform float Alpha;
uniform float iTime;
in vec2 uv;
out vec4 FragColor;

void main()
{
    float wobble = sin(uv.y * 37.0 + iTime * 4.0) * 0.6 + sin(uv.y * 113.0 - iTime * 9.0) * 0.4;
    vec2 p = uv + vec2(wobble * 0.006 * Alpha, 0.0);
    float drift = 0.004 * Alpha;
    vec4 c = texture(Texture, p);
    c.r = texture(Texture, p + vec2(drift, 0.0)).r;
    c.b = texture(Texture, p - vec2(drift, 0.0)).b;
    FragColor = c;
}
