#version 330 core
// Depth only.
#include "depthmeasure.glsl"

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

void main()
{
    outColor = vec4(0.0);
    gl_FragDepth = depthMeasure(-eyePosition.z);
}
