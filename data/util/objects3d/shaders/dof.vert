#version 420
// Depth of field: the unit-square quad of the composite, passed through.
uniform mat4 ProjectionMatrix;
layout (location = 0) in vec2 Position;
layout (location = 2) in vec2 TexCoord;
out vec2 TexCoordFrag;

void main()
{
	TexCoordFrag = TexCoord;
	gl_Position = ProjectionMatrix * vec4( Position, 0.0, 1.0 );
}
