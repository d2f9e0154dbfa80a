// The depth measure every object pass writes and compares: the logarithm of
// the eye distance between the camera's near and far planes (both read from
// the projection), 0 at the near plane and 1 at the far one. Its steps are a
// fixed share of the distance, so precision is the same near and far and the
// picture does not depend on the scene's scale. Joined into the programs
// that include it.
uniform mat4 perspective;

// ln(far / near): the measure's range in natural log units.
float depthLogRange()
{
    float nearPlane = perspective[3][2] / (perspective[2][2] - 1.0);
    float farDistance = perspective[3][2] / (perspective[2][2] + 1.0);
    return log(farDistance / nearPlane);
}

float depthMeasure(float eyeDistance)
{
    float nearPlane = perspective[3][2] / (perspective[2][2] - 1.0);
    return clamp(log(max(eyeDistance, nearPlane) / nearPlane) / depthLogRange(), 0.0, 1.0);
}
