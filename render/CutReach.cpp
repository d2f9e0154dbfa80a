#include "render/CutReach.h"

#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>

namespace {

struct EyeBox {
    bool known = false;       // a mesh instance with a box
    bool crossesNear = false; // a corner on or behind the near plane
    float nearest = 1e30f, farthest = 0.0f;
    float sx0 = 1e30f, sy0 = 1e30f, sx1 = -1e30f, sy1 = -1e30f; // window pixels
};

EyeBox eyeBox(Renderable* r, const Mat4& projection, float nearPlane, int width, int height)
{
    EyeBox b;
    auto* instance = dynamic_cast<MeshInstance*>(r);
    if (!instance || !instance->mesh || instance->mesh->bounds().empty)
        return b;
    b.known = true;
    const Bounds& box = instance->mesh->bounds();
    const Mat4 mv = instance->modelView();
    for (int i = 0; i < 8; ++i) {
        Vec4 corner((i & 1) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                    (i & 4) ? box.max.z : box.min.z, 1.0f);
        Vec4 eye = mv * corner;
        float distance = -eye.z;
        if (!(distance > nearPlane)) {
            b.crossesNear = true;
            continue;
        }
        b.nearest = std::min(b.nearest, distance);
        b.farthest = std::max(b.farthest, distance);
        Vec4 clip = projection * eye;
        float x = (clip.x / clip.w * 0.5f + 0.5f) * width, y = (clip.y / clip.w * 0.5f + 0.5f) * height;
        b.sx0 = std::min(b.sx0, x);
        b.sx1 = std::max(b.sx1, x);
        b.sy0 = std::min(b.sy0, y);
        b.sy1 = std::max(b.sy1, y);
    }
    return b;
}

PixelRect grow(const EyeBox& b, float reach, int width, int height)
{
    PixelRect r;
    auto clampTo = [](double v, int hi) { return static_cast<int>(std::max(0.0, std::min<double>(v, hi))); };
    r.x0 = clampTo(std::floor(b.sx0 - reach), width);
    r.y0 = clampTo(std::floor(b.sy0 - reach), height);
    r.x1 = clampTo(std::ceil(b.sx1 + reach), width);
    r.y1 = clampTo(std::ceil(b.sy1 + reach), height);
    return r;
}

void unite(PixelRect& a, const PixelRect& b)
{
    if (b.empty())
        return;
    if (a.empty()) {
        a = b;
        return;
    }
    a.x0 = std::min(a.x0, b.x0);
    a.y0 = std::min(a.y0, b.y0);
    a.x1 = std::max(a.x1, b.x1);
    a.y1 = std::max(a.y1, b.y1);
}

} // namespace

PixelRect intersect(const PixelRect& a, const PixelRect& b)
{
    return PixelRect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

bool mayDrawInto(Renderable* r, const Camera& camera, int width, int height, const PixelRect& rect)
{
    const Mat4& p = camera.projection;
    const EyeBox b = eyeBox(r, p, p[14] / (p[10] - 1.0f), width, height);
    if (!b.known || b.crossesNear)
        return true;
    return b.sx1 + 1.0f > float(rect.x0) && b.sx0 - 1.0f < float(rect.x1) && b.sy1 + 1.0f > float(rect.y0) &&
           b.sy0 - 1.0f < float(rect.y1);
}

float depthMeasureOf(float eyeDistance, float nearPlane, float farDistance)
{
    float d = std::log(std::max(eyeDistance, nearPlane) / nearPlane) / std::log(farDistance / nearPlane);
    return std::min(std::max(d, 0.0f), 1.0f);
}

float slopeCode(float eyeDistance, float theta, float pixelScale, float logRange, bool directional, bool edgeMode,
                float farPlane, int height)
{
    if (!(theta > 0.0f))
        return 1.0f;
    theta = std::min(theta, 1.5707963f);
    float reference = directional ? eyeDistance : farPlane * 0.125f;
    float pixelWidth = 2.0f * reference / (height * pixelScale);
    float g = pixelWidth * (std::cos(theta) / std::sin(theta)) * (edgeMode ? 1.0f : 4.0f) /
              std::max(eyeDistance, 1e-6f);
    float steep = g / logRange * height;
    return steep / (1.0f + steep);
}

CutReach cutReach(const Scene& scene, const Camera& camera, int width, int height, float farPlane)
{
    CutReach reach;
    const PixelRect whole{0, 0, width, height};
    const Mat4& p = camera.projection;
    const float nearPlane = p[14] / (p[10] - 1.0f), farDistance = p[14] / (p[10] + 1.0f);
    const float logRange = std::log(farDistance / nearPlane);

    // The nearest any unselected object comes.
    float nearest = 1e30f;
    bool floorKnown = true;
    for (Renderable* r : scene.objects) {
        EyeBox b = eyeBox(r, p, nearPlane, width, height);
        if (!b.known || b.crossesNear)
            floorKnown = false;
        else
            nearest = std::min(nearest, b.nearest);
    }
    // A little below, for the shaders' rounding.
    reach.floor = floorKnown ? std::max(depthMeasureOf(nearest, nearPlane, farDistance) - 1e-4f, 0.0f) : 0.0f;

    for (Renderable* r : scene.selection) {
        if (!r->canCut)
            continue;
        EyeBox b = eyeBox(r, p, nearPlane, width, height);
        if (!b.known || b.crossesNear) {
            reach.exact = reach.positive = reach.cutters = whole;
            return reach;
        }
        unite(reach.cutters, grow(b, 1.0f, width, height));
        float angle = r->localAngle >= 0.0f ? r->localAngle : scene.globalAngle;
        float theta = static_cast<float>(static_cast<double>(angle) * static_cast<double>(3.1415f) / 180.0);
        // The shallowest slope any seed of this cutter can store (the
        // slope falls with distance, or stays), after 16-bit rounding, and
        // the deepest depth.
        float code = slopeCode(b.farthest, theta, p[5], logRange, scene.directionalLight, scene.edgeMode, farPlane,
                               height);
        float stored = (std::floor(code * 65535.0f) - 1.0f) / 65535.0f;
        if (!(stored > 0.0f)) {
            reach.exact = reach.positive = reach.cutters = whole;
            return reach;
        }
        float slope = stored / std::max(1.0f - stored, 1e-5f) / height;
        float depth = depthMeasureOf(b.farthest, nearPlane, farDistance) + 2.0f / 65535.0f;
        // One pixel more for the seeds' own pixels at the box's edge.
        unite(reach.exact, grow(b, std::max(depth - reach.floor, 0.0f) / slope + 1.5f, width, height));
        unite(reach.positive, grow(b, depth / slope + 1.5f, width, height));
    }
    return reach;
}
