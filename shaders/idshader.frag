#version 330 core
// Object ids only.
uniform uint colorID;
uniform float farPlane;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out uint outID;

void main()
{
    outID = colorID;
    gl_FragDepth = clamp(-eyePosition.z / farPlane, 0.0, 1.0);
}
