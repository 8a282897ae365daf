#version 420
// The droplets plane: positions in world units, texture coordinates 0..1
// across the plane, which is where the marks are placed.
layout(location = VERTEX_ATTRIB_POSITION) in vec3 Position;
layout(location = VERTEX_ATTRIB_TEXCOORD) in vec2 TexCoord;
uniform mat4 ProjectionMatrix;
uniform mat4 ModelViewMatrix;
out vec2 uv;

void main()
{
    uv = TexCoord;
    gl_Position = ProjectionMatrix * ModelViewMatrix * vec4(Position, 1.0);
}
