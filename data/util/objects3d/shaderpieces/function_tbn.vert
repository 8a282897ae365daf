// Light i's direction in the tangent frame of the vertex.
void calc_tbn( int i )
{
	vec3 to_light = LightPosition[i] - tbn_position;
	lightdir_tbn[i] = vec3( dot( to_light, tbn_t ), dot( to_light, tbn_b ), dot( to_light, tbn_n ) );
}
