#version 330 core
// Gizmo handles: vertex colour times the handle colour, lightly shaded by
// facing so the scale cube reads as a solid.
#include "depthmeasure.glsl"
uniform vec3 color;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

void main()
{
    vec3 n = normalize(cross(dFdx(eyePosition), dFdy(eyePosition)));
    float facing = 0.75 + 0.25 * abs(n.z);
    outColor = vec4(baseColor * color * facing, 1.0);
    gl_FragDepth = depthMeasure(-eyePosition.z);
}
