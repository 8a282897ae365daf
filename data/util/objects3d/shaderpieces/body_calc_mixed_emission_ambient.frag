	color.rgb += mixed_ambient.rgb + mixed_emission.rgb;
	// The ambient pass has no alpha piece of its own.
	color.a = MaterialDiffuse.a;
