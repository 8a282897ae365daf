	TexCoordFrag = TexCoord;
