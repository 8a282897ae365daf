#version 120
// The scene's rectangle (-1, -1)..(1, 1) arrives as the fixed-function vertex
// and covers the target as it is: no projection.
varying vec2 p;

void main()
{
    p = gl_Vertex.xy;
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
}
