#version 120
// The sky box: a cube drawn in immediate mode around the eye; each corner's
// texture coordinate is its direction into the cube map.

varying vec3 direction;

void main()
{
	direction = gl_MultiTexCoord0.xyz;
	gl_FrontColor = gl_Color;
	gl_Position = ftransform();
}
