#version 420
// Subdivides the picture into N tiles, shifted by Off and turned by Rot
// (radians) around RotOff. N (1, 1) with no shift or turn is the picture.
uniform sampler2D Texture;
uniform vec2 N;
uniform vec2 Off;
uniform float Rot;
uniform vec2 RotOff;
in vec2 uv;
out vec4 FragColor;

void main()
{
    float s = sin(Rot);
    float c = cos(Rot);
    vec2 p = uv - RotOff;
    p = vec2(c * p.x - s * p.y, s * p.x + c * p.y) + RotOff;
    FragColor = texture(Texture, fract(p * N + Off));
}
