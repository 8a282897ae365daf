#version 420 compatibility
// The dome model's interleaved arrays: position (gl_Vertex, y 0..1 before
// the scale), normal and texture coordinate (the direction's x and z folded
// to 0..1). "bbox" holds the model's size, so the height reads 0 at the
// horizon and 1 at the zenith whatever the model.
uniform vec4 bbox;

out vec2 dome_uv;
out float height;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    dome_uv = gl_MultiTexCoord0.st;
    height = clamp(gl_Vertex.y / max(bbox.y, 1e-6), 0.0, 1.0);
}
