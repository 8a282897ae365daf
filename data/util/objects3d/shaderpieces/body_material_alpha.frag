	color.a = MaterialDiffuse.a;
