#include "interaction/ObjectCentre.h"

#include "geometry/Mesh.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/SceneNode.h"

#include <cmath>

Vec3 placedCentre(const SceneNode* node)
{
    if (!node)
        return Vec3(0, 0, 0);
    for (Transformable* t : node->attachments)
        if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && instance->mesh) {
            const Bounds& b = instance->mesh->bounds();
            return b.empty ? Vec3(0, 0, 0) : b.centre();
        }
    return Vec3(0, 0, 0);
}

Vec3 worldCentre(const Transformable& object, const Camera& camera)
{
    const Vec4 eye = object.modelView() * Vec4(placedCentre(object.node), 1.0f);
    return xyz(camera.inverseView * eye);
}

Bounds gizmoBounds(const Gizmo& gizmo, const Camera& camera)
{
    Bounds box;
    if (!gizmo.active || !gizmo.target)
        return box;
    const Vec3 eye = xyz(gizmo.target->matrix * Vec4(placedCentre(gizmo.target), 1.0f));
    // Handles reach 2 gizmo units out on each axis, a unit being 5 % of the
    // distance to the eye (Gizmo::draw); a sphere of 3 units holds them.
    const float reach = length(eye) * 0.05f * 3.0f;
    const Vec3 centre = xyz(camera.inverseView * Vec4(eye, 1.0f));
    box.extend(centre - Vec3(reach, reach, reach));
    box.extend(centre + Vec3(reach, reach, reach));
    return box;
}
