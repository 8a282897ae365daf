#version 420
// The quad of a full-screen scene: its corners (-1, -1)..(1, 1) cover the
// target as they are; the fragment shader gets the texture coordinate, 0..1
// over the target.
layout(location = VERTEX_ATTRIB_POSITION) in vec2 Position;
layout(location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;
out vec2 uv;

void main()
{
    uv = TexCoord;
    gl_Position = vec4(Position, 0.0, 1.0);
}
