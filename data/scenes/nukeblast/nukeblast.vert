#version 420
// The full-screen quad: corners (-1, -1) to (1, 1) are already the target's
// corners, so the projection is not applied.
layout(location = VERTEX_ATTRIB_POSITION) in vec2 Position;
layout(location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;
uniform mat4 ProjectionMatrix;
out vec2 uv;

void main()
{
    uv = TexCoord;
    gl_Position = vec4(Position, 0.0, 1.0);
}
