// 1 where the light sees the fragment, 0 where something nearer to the light
// hides it. The depth passes wrote, per cube face, the depth of the face's
// 90 degree projection; the face's view distance along its axis is the
// largest component of the light-to-fragment vector, so that is what goes
// through the same projection here.
float calc_shadow()
{
	// camera_view_matrix_inv is the transposed inverse: transposed back.
	vec4 world = transpose( camera_view_matrix_inv ) * vec4( PositionEye, 1.0 );
	vec3 from_light = ( light_view_matrix * world ).xyz;
	vec3 a = abs( from_light );
	float axis_distance = max( a.x, max( a.y, a.z ) );
	vec4 clip = light_projection_matrix * vec4( 0.0, 0.0, -axis_distance, 1.0 );
	// Beyond the far plane nothing was drawn: compare against the cleared depth.
	float reference = min( 0.5 * clip.z / clip.w + 0.5, 1.0 );
	return texture( ShadowMap, vec4( from_light, reference - 0.0005 ) );
}
