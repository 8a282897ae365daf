#version 420
// Film look without grain or scanlines: colour amount, monochrome, three sepia
// tints, contrast and brightness, as film.frag computes them. The pass draws
// with this one while both FilmgrainAmount and ScanlineAmount are 0, where
// film.frag's grain hash and scanline sine would add 0 and multiply by 1 at
// the cost of every pixel.
uniform sampler2D Texture;
uniform float Color;
uniform float Monochrome;
uniform float BrownSepia;
uniform float GreenSepia;
uniform float BlueSepia;
uniform float Contrast;
uniform float Brightness;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec4 c = texture(Texture, uv);
    vec3 rgb = c.rgb;
    float grey = dot(rgb, vec3(0.299, 0.587, 0.114));
    rgb = mix(vec3(grey), rgb, Color);
    rgb = mix(rgb, vec3(grey), Monochrome);
    rgb = mix(rgb, grey * vec3(1.20, 1.00, 0.78), BrownSepia);
    rgb = mix(rgb, grey * vec3(0.90, 1.12, 0.85), GreenSepia);
    rgb = mix(rgb, grey * vec3(0.80, 0.95, 1.25), BlueSepia);
    rgb = (rgb - 0.5) * Contrast + 0.5 + Brightness;
    FragColor = vec4(rgb, c.a);
}
