#include "math/ClipPlanes.h"

#include "math/Camera.h"

#include <algorithm>
#include <cmath>

bool clipPlanesFor(const Bounds& world, const Camera& camera, ClipPlanes& planes)
{
    if (world.empty)
        return false;
    // Eye-space depth of the box's corners (the view looks down -z).
    double nearest = HUGE_VAL, farthest = -HUGE_VAL;
    for (int i = 0; i < 8; ++i) {
        const Vec4 e = camera.view * Vec4(world.corner(i), 1.0f);
        nearest = std::min(nearest, -static_cast<double>(e.z));
        farthest = std::max(farthest, -static_cast<double>(e.z));
    }
    if (!(farthest > 0.0) || !std::isfinite(farthest))
        return false;
    // A margin on both sides: the box corners are exact, but the gizmo and
    // rounding may stand a little outside them.
    const double far = farthest * 1.02;
    const double near = std::max(nearest * 0.98, far * minNearShare);
    planes.nearDistance = static_cast<float>(near);
    planes.farDistance = static_cast<float>(far);
    return planes.nearDistance > 0.0f && planes.farDistance > planes.nearDistance;
}

bool followBounds(const Bounds& world, Camera& camera)
{
    ClipPlanes planes;
    if (!clipPlanesFor(world, camera, planes))
        return false;
    if (planes.nearDistance == camera.nearDistance && planes.farDistance == camera.farDistance)
        return false;
    camera.nearDistance = planes.nearDistance;
    camera.farDistance = planes.farDistance;
    camera.projectionDirty = true;
    camera.update();
    return true;
}
