#include "math/Framing.h"

#include "math/Bounds.h"
#include "math/Camera.h"

#include <algorithm>
#include <cmath>

bool fitView(const std::vector<Vec3>& points, const Camera& camera, float margin, float usualNear, ViewFit& fit)
{
    Bounds box;
    for (const Vec3& p : points)
        box.extend(p);
    if (box.empty)
        return false;
    const Vec3 pivot = box.centre();

    // The camera's own axes: turning it is not framing's business.
    const Mat4& iv = camera.inverseView;
    const Vec3 right = normalize(Vec3(iv[0], iv[1], iv[2]));
    const Vec3 up = normalize(Vec3(iv[4], iv[5], iv[6]));
    const Vec3 forward = -normalize(Vec3(iv[8], iv[9], iv[10]));

    const float keep = std::clamp(1.0f - margin, 0.05f, 1.0f);
    const double tanY = std::tan(camera.fovY * 3.14159265358979 / 360.0) * keep;
    const double tanX = tanY * camera.aspect;
    // Every point stays a little in front of the eye, in proportion to the
    // model's size, so that a near plane can be put before it.
    const double size = length(box.max - box.min);
    const double clearance = std::max(size * 0.02, 1e-6);

    // Distance from eye to pivot at which each point is inside: its depth
    // dist + z must reach |x| / tanX and |y| / tanY.
    double dist = clearance;
    double behind = 0.0; // deepest point beyond the pivot
    double front = 0.0;  // nearest point before it (negative)
    for (const Vec3& p : points) {
        if (!isFinite(p))
            continue;
        const Vec3 d = p - pivot;
        const double x = std::fabs(dot(d, right)), y = std::fabs(dot(d, up)), z = dot(d, forward);
        dist = std::max(dist, std::max({x / tanX, y / tanY, clearance}) - z);
        behind = std::max(behind, z);
        front = std::min(front, z);
    }

    const double far = camera.farDistance;
    const double farFit = far * 0.99 - behind; // keeps the deepest point short of the far plane
    if (dist > farFit)
        dist = std::max(farFit, std::min(dist, far * 0.5));
    dist = std::min(dist, far * 0.99);
    if (!(dist > 0.0) || !std::isfinite(dist))
        return false;

    const double frontDepth = dist + front;
    double nearD = usualNear;
    if (frontDepth < usualNear * 1.05)
        nearD = std::max(frontDepth * 0.5, far * 1e-9);

    fit.pivot = pivot;
    fit.distance = static_cast<float>(dist);
    fit.eye = pivot - forward * fit.distance;
    fit.nearDistance = static_cast<float>(nearD);
    return true;
}
