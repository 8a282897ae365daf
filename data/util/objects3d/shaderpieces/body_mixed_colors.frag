	mixed_diffuse = MaterialDiffuse;
