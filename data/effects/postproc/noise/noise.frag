#version 420
// Animated static added to the picture with strength Alpha.
uniform sampler2D Texture;
uniform float Alpha;
uniform float Time;
in vec2 uv;
out vec4 FragColor;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

void main()
{
    vec4 c = texture(Texture, uv);
    float n = hash(floor(gl_FragCoord.xy) + floor(Time * 60.0) * vec2(17.0, 31.0)) - 0.5;
    FragColor = vec4(c.rgb + n * Alpha, c.a);
}
