#version 420
// Box-ring blur: rings of eight taps at 1..Iterations times Scale (in texture
// coordinates) around each pixel. Scale 0 leaves the picture unchanged.
uniform sampler2D Texture;
uniform float Scale;
uniform float Iterations;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec4 sum = texture(Texture, uv);
    float weight = 1.0;
    // At most eight rings, whatever Iterations holds.
    for (int i = 1; i <= 8; ++i) {
        if (float(i) > Iterations) break;
        float r = Scale * float(i);
        vec2 d = vec2(r, r * 0.7071);
        sum += texture(Texture, uv + vec2(r, 0.0));
        sum += texture(Texture, uv - vec2(r, 0.0));
        sum += texture(Texture, uv + vec2(0.0, r));
        sum += texture(Texture, uv - vec2(0.0, r));
        sum += texture(Texture, uv + d.yy);
        sum += texture(Texture, uv - d.yy);
        sum += texture(Texture, uv + vec2(d.y, -d.y));
        sum += texture(Texture, uv + vec2(-d.y, d.y));
        weight += 8.0;
    }
    FragColor = sum / weight;
}
