// The selection outline over the composite, traced from the id image.
#include "render/Renderer.h"

#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>

namespace {

// Grows rect (x0, y0, x1, y1 in pixels, rows from the bottom) to take in the
// instance's box on screen; false when part of it lies behind the eye, where
// no rectangle holds it.
bool extendScreenRect(const MeshInstance& instance, const Camera& camera, int width, int height, float rect[4])
{
    if (!instance.mesh)
        return true;
    const Bounds& box = instance.mesh->bounds();
    if (box.empty)
        return true;
    const Mat4 toClip = camera.projection * instance.modelView();
    for (int i = 0; i < 8; ++i) {
        const Vec3 c = box.corner(i);
        const Vec4 clip = toClip * Vec4(c.x, c.y, c.z, 1.0f);
        if (!(clip.w > 1e-6f))
            return false;
        const float x = (clip.x / clip.w * 0.5f + 0.5f) * float(width);
        const float y = (clip.y / clip.w * 0.5f + 0.5f) * float(height);
        rect[0] = std::min(rect[0], x);
        rect[1] = std::min(rect[1], y);
        rect[2] = std::max(rect[2], x);
        rect[3] = std::max(rect[3], y);
    }
    return true;
}

} // namespace

void Renderer::outlinePass(const Frame& f)
{
    std::vector<uint32_t> selected;
    float box[4] = {1e30f, 1e30f, -1e30f, -1e30f};
    bool bounded = true;
    const auto take = [&](const MeshInstance* instance) {
        bounded = bounded && extendScreenRect(*instance, f.camera, frameWidth, frameHeight, box);
    };
    for (Renderable* r : f.scene.selection)
        if (auto* instance = dynamic_cast<MeshInstance*>(r)) {
            selected.push_back(instance->id);
            take(instance);
        }
    uint32_t hovered = 0;
    for (Renderable* r : f.scene.objects)
        if (auto* instance = dynamic_cast<MeshInstance*>(r); instance && instance->id == hoveredObject) {
            hovered = hoveredObject;
            take(instance);
        }
    if (selected.empty() && !hovered)
        return;

    int rect[4] = {0, 0, frameWidth, frameHeight};
    if (bounded) {
        const int x0 = std::max(0, int(std::floor(box[0])) - 1), y0 = std::max(0, int(std::floor(box[1])) - 1);
        const int x1 = std::min(frameWidth, int(std::ceil(box[2])) + 1);
        const int y1 = std::min(frameHeight, int(std::ceil(box[3])) + 1);
        rect[0] = x0;
        rect[1] = y0;
        rect[2] = x1 - x0;
        rect[3] = y1 - y0;
    }
    outline.draw(sceneTarget.colorTextures[1], selected, hovered, rect, screenQuad);
}
