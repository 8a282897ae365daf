#version 420
// Blocks and ordered dither: the picture is sampled once per block and its
// colours are reduced with a 4x4 Bayer pattern. With one block per pixel the
// picture is unchanged.
uniform sampler2D Texture;
uniform vec2 blocks;
in vec2 uv;
out vec4 FragColor;

float bayer(vec2 cell)
{
    int x = int(mod(cell.x, 4.0));
    int y = int(mod(cell.y, 4.0));
    int index = x + y * 4;
    const float pattern[16] = float[16](0.0, 8.0, 2.0, 10.0, 12.0, 4.0, 14.0, 6.0,
                                        3.0, 11.0, 1.0, 9.0, 15.0, 7.0, 13.0, 5.0);
    return (pattern[index] + 0.5) / 16.0;
}

void main()
{
    vec2 n = max(abs(blocks), vec2(1.0));
    vec2 cell = floor(uv * n);
    vec4 colour = texture(Texture, (cell + 0.5) / n);
    float k = n.x / float(textureSize(Texture, 0).x);
    if (k < 0.999) {
        float levels = 2.0 + 30.0 * k;
        colour.rgb = floor(colour.rgb * levels + bayer(cell)) / levels;
    }
    FragColor = colour;
}
