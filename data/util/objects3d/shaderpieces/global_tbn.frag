uniform sampler2D NormalMap;
