#version 420
// Box-ring blur at the full size: the rings are gathered at half the size
// (blur_gather.frag, texture unit 1), and the blurred picture is smooth
// enough that one bilinear tap of it per pixel looks the same as gathering
// here, for a quarter of the taps. Scale 0, or less than one ring, leaves the
// picture unchanged.
uniform sampler2D Texture;
uniform sampler2D Gathered;
uniform float Scale;
uniform float Iterations;
in vec2 uv;
out vec4 FragColor;

void main()
{
    if (Scale == 0.0 || Iterations < 1.0)
        FragColor = texture(Texture, uv);
    else
        FragColor = texture(Gathered, uv);
}
