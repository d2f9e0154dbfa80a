#include "app/ViewFraming.h"

#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float margin = 1.15f;
}

bool frameScene(const Scene& scene, Camera& camera, CameraController& controller)
{
    const float inf = std::numeric_limits<float>::infinity();
    Vec3 lo(inf, inf, inf), hi(-inf, -inf, -inf);
    bool any = false;
    for (SceneNode* node : scene.root->children) {
        Mat4 world; // identity; placed models hang on the root
        if (SRTTransform* srt = node->srt()) {
            float scale = 1.0f;
            srt->recompute();
            world = srt->compose(Mat4(), 1.0f, scale);
        }
        for (Transformable* t : node->attachments) {
            auto* instance = dynamic_cast<MeshInstance*>(t);
            if (!instance || !instance->mesh)
                continue;
            const std::vector<float>& p = instance->mesh->positions;
            for (size_t i = 0; i + 2 < p.size(); i += 3) {
                const Vec4 w = world * Vec4(p[i], p[i + 1], p[i + 2], 1.0f);
                if (!std::isfinite(w.x) || !std::isfinite(w.y) || !std::isfinite(w.z))
                    continue;
                for (int a = 0; a < 3; ++a) {
                    const float v = a == 0 ? w.x : a == 1 ? w.y : w.z;
                    lo[a] = std::min(lo[a], v);
                    hi[a] = std::max(hi[a], v);
                }
                any = true;
            }
        }
    }
    if (!any)
        return false;

    const Vec3 centre = (lo + hi) * 0.5f;
    const float radius = std::max(length(hi - lo) * 0.5f, 1e-3f);
    // The narrower of the two fields of view decides.
    const float halfY = camera.fovY * 0.5f * 3.14159265f / 180.0f;
    const float halfX = std::atan(std::tan(halfY) * camera.aspect);
    const float distance = radius * margin / std::sin(std::min(halfX, halfY));
    Vec3 direction = camera.eye - camera.target;
    direction = length(direction) > 0 ? normalize(direction) : Vec3(0, 0, 1);

    camera.target = centre;
    camera.eye = centre + direction * distance;
    camera.viewDirty = true;
    camera.update();
    controller.pivot = centre;
    controller.eye = camera.eye;
    return true;
}
