	vec4 light_contribution = calc_light( 0 );
