	PositionEye = ( ModelViewMatrix * vec4( Position, 1.0 ) ).xyz;
	NormalEye = mat3( ModelViewMatrix ) * Normal;
