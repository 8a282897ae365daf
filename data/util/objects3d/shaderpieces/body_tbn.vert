	tbn_n = normalize( mat3( ModelViewMatrix ) * Normal );
	tbn_t = mat3( ModelViewMatrix ) * Tangent;
	// A mesh without tangents feeds (0, 0, 0): any direction across the normal will do.
	if ( dot( tbn_t, tbn_t ) < 1e-8 ) tbn_t = cross( tbn_n, abs( tbn_n.y ) < 0.9 ? vec3( 0.0, 1.0, 0.0 ) : vec3( 1.0, 0.0, 0.0 ) );
	tbn_t = normalize( tbn_t - tbn_n * dot( tbn_n, tbn_t ) );
	tbn_b = cross( tbn_n, tbn_t );
	tbn_position = ( ModelViewMatrix * vec4( Position, 1.0 ) ).xyz;
