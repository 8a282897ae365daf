layout( location = VERTEX_ATTRIB_NORMAL ) in vec3 Normal;
out vec3 PositionEye;
out vec3 NormalEye;
