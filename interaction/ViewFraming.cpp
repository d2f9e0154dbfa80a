#include "interaction/ViewFraming.h"

#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "math/Framing.h"
#include "scene/MeshInstance.h"
#include "scene/PlacedInstances.h"
#include "scene/Scene.h"

bool frameObjects(Scene& scene, CameraController& controller, bool selectionOnly)
{
    // Every vertex, not the boxes' corners: a round model framed by its box
    // would end up smaller than the window allows.
    std::vector<Vec3> points;
    forEachPlacedInstance(scene, [&](MeshInstance& instance, const Mat4& world) {
        if (!instance.mesh || (selectionOnly && !scene.selection.count(&instance)))
            return;
        const std::vector<float>& p = instance.mesh->positions;
        for (size_t i = 0; i + 2 < p.size(); i += 3)
            points.push_back(xyz(world * Vec4(p[i], p[i + 1], p[i + 2], 1.0f)));
    });

    Camera& camera = *controller.camera;
    // The clip planes follow the scene's bounds every frame (math/ClipPlanes.h),
    // so the fit is not held inside the present far plane.
    Camera unbounded = camera;
    unbounded.farDistance = 1e30f;
    ViewFit fit;
    if (!fitView(points, unbounded, framingMargin, camera.nearDistance, fit))
        return false;
    controller.pivot = fit.pivot;
    controller.eye = fit.eye;
    camera.target = fit.pivot;
    camera.eye = fit.eye;
    camera.viewDirty = true;
    camera.update();
    return true;
}
