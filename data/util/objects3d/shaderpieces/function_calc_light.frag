// Light i on the fragment: diffuse and Blinn-Phong specular, attenuated by
// distance (constant, linear, quadratic). Positions are in eye space.
vec4 calc_light( int i )
{
	vec3 to_light = LightPosition[i] - PositionEye;
	float dist = length( to_light );
	vec3 l = to_light / max( dist, 1e-6 );
	vec3 n = normalize( NormalEye );
	vec3 att = LightAttenuation[i];
	float falloff = 1.0 / max( att.x + att.y * dist + att.z * dist * dist, 1e-6 );
	float lambert = max( dot( n, l ), 0.0 );
	vec3 h = normalize( l + normalize( -PositionEye ) );
	float highlight = lambert > 0.0 ? pow( max( dot( n, h ), 0.0 ), MaterialShininess ) : 0.0;
	vec3 lit = mixed_diffuse.rgb * LightDiffuse[i].rgb * lambert + mixed_specular.rgb * LightSpecular[i].rgb * highlight;
	return vec4( lit * falloff, 0.0 );
}
