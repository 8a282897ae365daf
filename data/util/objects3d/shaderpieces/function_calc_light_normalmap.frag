// Light i with the normal from the normal map; the light direction arrives
// in tangent space, where the viewer is taken to look along the normal.
vec4 calc_light( int i )
{
	vec3 to_light = lightdir_tbn[i];
	float dist = length( to_light );
	vec3 l = to_light / max( dist, 1e-6 );
	vec3 n = normalize( texture( NormalMap, TexCoordFrag ).xyz * 2.0 - 1.0 );
	vec3 att = LightAttenuation[i];
	float falloff = 1.0 / max( att.x + att.y * dist + att.z * dist * dist, 1e-6 );
	float lambert = max( dot( n, l ), 0.0 );
	vec3 h = normalize( l + vec3( 0.0, 0.0, 1.0 ) );
	float highlight = lambert > 0.0 ? pow( max( dot( n, h ), 0.0 ), MaterialShininess ) : 0.0;
	vec3 lit = mixed_diffuse.rgb * LightDiffuse[i].rgb * lambert + mixed_specular.rgb * LightSpecular[i].rgb * highlight;
	return vec4( lit * falloff, 0.0 );
}
