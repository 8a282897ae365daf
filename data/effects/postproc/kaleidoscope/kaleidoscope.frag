#version 420
// Kaleidoscope around the centre: the angle is turned by Rotation (radians)
// and folded into Divisions mirrored wedges. Fewer than one division leaves
// the picture unfolded.
uniform sampler2D Texture;
uniform float Rotation;
uniform float Divisions;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec2 p = uv - 0.5;
    float radius = length(p);
    float angle = atan(p.y, p.x) + Rotation;
    if (Divisions >= 1.0) {
        float wedge = 6.2831853 / floor(Divisions);
        angle = mod(angle, wedge);
        angle = min(angle, wedge - angle);
    }
    vec2 q = (Divisions >= 1.0 || Rotation != 0.0) ? vec2(cos(angle), sin(angle)) * radius + 0.5 : uv;
    FragColor = texture(Texture, q);
}
