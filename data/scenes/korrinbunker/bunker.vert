#version 420
// The photo's quad, placed in the unit square of the target.
layout(location = VERTEX_ATTRIB_POSITION) in vec2 Position;
layout(location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;
uniform mat4 ProjectionMatrix;
out vec2 uv;

void main()
{
    uv = TexCoord;
    gl_Position = ProjectionMatrix * vec4(Position, 0.0, 1.0);
}
