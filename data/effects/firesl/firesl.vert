#version 420 compatibility
// The feedback quad: FBO::draw's unit square (0..1) straight onto the whole
// target, with no projection uniform.
layout(location = VERTEX_ATTRIB_POSITION) in vec2 Position;
layout(location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;

out vec2 uv;

void main()
{
    gl_Position = vec4(Position * 2.0 - 1.0, 0.0, 1.0);
    uv = TexCoord;
}
