	color += light_contribution * calc_shadow();
