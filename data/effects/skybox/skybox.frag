#version 120
// The cube map (unit 0) in the interpolated direction, tinted by the colour.

uniform samplerCube cubemap;
varying vec3 direction;

void main()
{
	gl_FragColor = textureCube( cubemap, direction ) * gl_Color;
}
