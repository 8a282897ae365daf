#version 420 compatibility
// The unit quad under gluOrtho2D: its corner is also its place on screen.
out vec2 uv;

void main()
{
    gl_Position = ftransform();
    uv = gl_Vertex.xy;
    gl_FrontColor = gl_Color;
}
