#version 330 core
// Depth only: the linear eye distance over farPlane.
uniform float farPlane;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

void main()
{
    outColor = vec4(0.0);
    gl_FragDepth = clamp(-eyePosition.z / farPlane, 0.0, 1.0);
}
