#version 420 compatibility
// Travelling blocks: each quad arrives as its centre four times (gl_Vertex)
// and is spread here along the camera's right and up. The corner comes from
// the vertex's place in its quad; the texture coordinate's s carries sin or
// cos of the block's angle (left edge sin, right edge cos), which sets the
// height of that edge, so the square turns like a card; t is 0 at the
// bottom edge and 1 at the top.
uniform vec3 right;
uniform vec3 up;
uniform float size;

out vec2 corner_uv;

const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(1.0, 1.0), vec2(-1.0, 1.0));

void main()
{
    vec2 corner = corners[gl_VertexID & 3];
    float edge = gl_MultiTexCoord0.s * 2.0 - 1.0;  // sin or cos, -1..1
    vec2 spread = vec2(corner.x * (0.6 + 0.4 * abs(edge)), corner.y * (0.75 + 0.25 * edge));
    vec3 p = gl_Vertex.xyz + (right * spread.x + up * spread.y) * (size * 0.5);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(p, 1.0);
    corner_uv = vec2(corner.x * 0.5 + 0.5, gl_MultiTexCoord0.t);
    gl_FrontColor = gl_Color;
}
