in vec3 PositionEye;
in vec3 NormalEye;
