#version 420
// Depth of field, cheap: the sharp image averaged over a small ring of six
// taps whose radius grows with the fragment's distance from the focus.
// Within focus_range of focus_point the image stays sharp; the blur reaches
// full size focus_falloff further out. Distances are eye-space, recovered
// from the stored depth with zNear and zFar.
uniform sampler2D tex_sharp;
uniform sampler2D tex_depth;
uniform float focus_point;
uniform float focus_range;
uniform float focus_falloff;
uniform float zNear;
uniform float zFar;
in vec2 TexCoordFrag;
out vec4 FragColor;

// Blur radius at full strength, in units of the picture's height.
const float max_radius = 0.012;

float eye_distance( float depth )
{
	float z_ndc = depth * 2.0 - 1.0;
	return 2.0 * zNear * zFar / ( zFar + zNear - z_ndc * ( zFar - zNear ) );
}

void main()
{
	vec4 sharp = texture( tex_sharp, TexCoordFrag );
	float dist = eye_distance( texture( tex_depth, TexCoordFrag ).r );
	float outside = max( abs( dist - focus_point ) - focus_range, 0.0 );
	float amount = clamp( outside / max( focus_falloff, 1e-6 ), 0.0, 1.0 );
	if ( amount < 0.02 ) {
		FragColor = sharp;
		return;
	}
	vec2 size = vec2( textureSize( tex_sharp, 0 ) );
	vec2 radius = amount * max_radius * vec2( size.y / size.x, 1.0 );
	const vec2 ring[6] = vec2[6]( vec2( 1.0, 0.0 ), vec2( 0.5, 0.866 ), vec2( -0.5, 0.866 ),
	                              vec2( -1.0, 0.0 ), vec2( -0.5, -0.866 ), vec2( 0.5, -0.866 ) );
	vec4 sum = sharp;
	for ( int i = 0; i < 6; ++i )
		sum += texture( tex_sharp, TexCoordFrag + ring[i] * radius );
	FragColor = sum / 7.0;
}
