#version 420
// Film look: colour amount, monochrome, three sepia tints, contrast and
// brightness, film grain and scanlines. Color 1, Contrast 1 and everything
// else 0 leave the picture unchanged. Without grain and scanlines the pass
// draws with film_tone.frag instead.
uniform sampler2D Texture;
uniform float time;
uniform float Color;
uniform float Monochrome;
uniform float BrownSepia;
uniform float GreenSepia;
uniform float BlueSepia;
uniform float Contrast;
uniform float Brightness;
uniform float FilmgrainAmount;
uniform float ScanlineAmount;
in vec2 uv;
out vec4 FragColor;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

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
    float grain = hash(floor(gl_FragCoord.xy) + fract(time * 7.31) * 97.0) - 0.5;
    rgb += grain * FilmgrainAmount;
    float line = 0.5 + 0.5 * sin(gl_FragCoord.y * 3.14159265);
    rgb *= 1.0 - ScanlineAmount * line;
    FragColor = vec4(rgb, c.a);
}
