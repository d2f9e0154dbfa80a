#version 330 core
// Gizmo handles: vertex colour times the handle colour, lightly shaded by
// facing so the scale cube reads as a solid.
uniform vec3 color;
uniform mat4 perspective;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

// The depth measure every pass writes and compares: the logarithm of the eye
// distance between the camera's near and far planes (both read from the
// projection), 0 at the near plane and 1 at the far one. Its steps are a
// fixed share of the distance, so precision is the same near and far and
// the picture does not depend on the scene's scale.
float depthMeasure(float eyeDistance)
{
    float nearPlane = perspective[3][2] / (perspective[2][2] - 1.0);
    float farDistance = perspective[3][2] / (perspective[2][2] + 1.0);
    return clamp(log(max(eyeDistance, nearPlane) / nearPlane) / log(farDistance / nearPlane), 0.0, 1.0);
}

void main()
{
    vec3 n = normalize(cross(dFdx(eyePosition), dFdy(eyePosition)));
    float facing = 0.75 + 0.25 * abs(n.z);
    outColor = vec4(baseColor * color * facing, 1.0);
    gl_FragDepth = depthMeasure(-eyePosition.z);
}
