#version 330 core
// Depth only.
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
    outColor = vec4(0.0);
    gl_FragDepth = depthMeasure(-eyePosition.z);
}
