#version 330 core
// Object ids only.
#include "depthmeasure.glsl"
uniform uint colorID;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out uint outID;

void main()
{
    outID = colorID;
    gl_FragDepth = depthMeasure(-eyePosition.z);
}
