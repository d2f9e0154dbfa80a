#include "scene/Transform.h"

#include <cmath>

IdentityTransform& sharedIdentityTransform()
{
    static IdentityTransform identity;
    return identity;
}

Mat4 SRTTransform::compose(const Mat4& parent, float parentScale, float& outScale)
{
    outScale = scale * parentScale;
    return parent * localMatrix;
}

void SRTTransform::recompute()
{
    const float s = scale;
    const float ca = std::cos(rotation[0]), sa = std::sin(rotation[0]);
    const float cb = std::cos(rotation[1]), sb = std::sin(rotation[1]);
    const float cc = std::cos(rotation[2]), sc = std::sin(rotation[2]);
    float* m = localMatrix.m;
    m[0] = s * cb * cc;
    m[1] = s * cb * sc;
    m[2] = -s * sb;
    m[3] = 0.0f;
    m[4] = s * (sa * sb * cc - ca * sc);
    m[5] = s * (ca * cc + sa * sb * sc);
    m[6] = s * sa * cb;
    m[7] = 0.0f;
    m[8] = s * (ca * sb * cc + sa * sc);
    m[9] = s * (ca * sb * sc - sa * cc);
    m[10] = s * ca * cb;
    m[11] = 0.0f;
    m[12] = translation.x;
    m[13] = translation.y;
    m[14] = translation.z;
    m[15] = 1.0f;
}
