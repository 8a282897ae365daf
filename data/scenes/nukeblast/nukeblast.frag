#version 420
// The seven explosion photos added with the weights IntFirst (photos 0-3)
// and IntLast.xyz (photos 4-6); IntLast.w makes the outlines of the mix glow
// in EdgeColor, whose alpha fades the whole picture. A photo whose weight is
// zero is not read: the weights are the same for every pixel, so the
// renderer skips the branch and a cross-fade costs two reads, not seven.
uniform sampler2D Tex0;
uniform sampler2D Tex1;
uniform sampler2D Tex2;
uniform sampler2D Tex3;
uniform sampler2D Tex4;
uniform sampler2D Tex5;
uniform sampler2D Tex6;
uniform vec4 EdgeColor;
uniform vec4 IntFirst;
uniform vec4 IntLast;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec3 c = vec3(0.0);
    if (IntFirst.x > 0.0) c += texture(Tex0, uv).rgb * IntFirst.x;
    if (IntFirst.y > 0.0) c += texture(Tex1, uv).rgb * IntFirst.y;
    if (IntFirst.z > 0.0) c += texture(Tex2, uv).rgb * IntFirst.z;
    if (IntFirst.w > 0.0) c += texture(Tex3, uv).rgb * IntFirst.w;
    if (IntLast.x > 0.0) c += texture(Tex4, uv).rgb * IntLast.x;
    if (IntLast.y > 0.0) c += texture(Tex5, uv).rgb * IntLast.y;
    if (IntLast.z > 0.0) c += texture(Tex6, uv).rgb * IntLast.z;
    float luma = dot(c, vec3(0.299, 0.587, 0.114));
    float edge = clamp(fwidth(luma) * 6.0, 0.0, 1.0);
    FragColor = vec4(c + EdgeColor.rgb * edge * IntLast.w, EdgeColor.a);
}
