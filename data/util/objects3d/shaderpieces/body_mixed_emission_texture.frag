	mixed_emission = MaterialEmission * texture( EmissionMap, TexCoordFrag );
