layout( location = VERTEX_ATTRIB_TANGENT ) in vec3 Tangent;
vec3 tbn_t;
vec3 tbn_b;
vec3 tbn_n;
vec3 tbn_position;
