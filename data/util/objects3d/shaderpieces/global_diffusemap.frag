uniform sampler2D DiffuseMap;
// The diffuse map's texel, shared by the ambient, colour and specular lines.
vec4 texcolor;
