#include "interaction/RayPick.h"

#include "geometry/Mesh.h"
#include "math/Bounds.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/PlacedInstances.h"

#include <algorithm>

namespace {

struct DVec {
    double x, y, z;
};
DVec operator-(const DVec& a, const DVec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dotD(const DVec& a, const DVec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
DVec crossD(const DVec& a, const DVec& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Moller-Trumbore in double precision: models far from unit size (an engine
// in millimetres, a duck scaled to a speck) keep their thin triangles.
bool rayTriangle(const DVec& o, const DVec& d, const DVec& a, const DVec& b, const DVec& c, double& t)
{
    DVec e1 = b - a, e2 = c - a;
    DVec p = crossD(d, e2);
    double det = dotD(e1, p);
    if (det == 0.0 || !std::isfinite(det))
        return false;
    double inv = 1.0 / det;
    DVec s = o - a;
    double u = dotD(s, p) * inv;
    if (u < 0.0 || u > 1.0)
        return false;
    DVec q = crossD(s, e1);
    double v = dotD(d, q) * inv;
    if (v < 0.0 || u + v > 1.0)
        return false;
    t = dotD(e2, q) * inv;
    return true;
}

// Calls f(i0, i1, i2) for every triangle of the mesh, in vertex numbers.
template <typename F>
void forEachTriangle(const Mesh& mesh, F f)
{
    const bool indexed = mesh.indexCount > 0 && !mesh.indices.empty();
    const size_t count = indexed ? std::min(mesh.indices.size(), static_cast<size_t>(mesh.indexCount))
                                 : mesh.positions.size() / 3;
    auto vertex = [&](size_t i) { return indexed ? mesh.indices[i] : static_cast<uint32_t>(i); };
    switch (mesh.primitiveMode) {
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < count; i += 3)
            f(vertex(i), vertex(i + 1), vertex(i + 2));
        break;
    case GL_TRIANGLES_ADJACENCY:
        // Even slots are the triangle, odd ones its neighbours.
        for (size_t i = 0; i + 5 < count; i += 6)
            f(vertex(i), vertex(i + 2), vertex(i + 4));
        break;
    case GL_TRIANGLE_STRIP: {
        size_t start = 0;
        for (size_t i = 0; i < count; ++i) {
            if (indexed && mesh.indices[i] == Mesh::restartIndex) {
                start = i + 1;
                continue;
            }
            if (i >= start + 2)
                f(vertex(i - 2), vertex(i - 1), vertex(i));
        }
        break;
    }
    default:
        break; // lines and points have no surface to meet
    }
}

} // namespace

bool nearestRayHit(const Mesh& mesh, const Mat4& world, const Vec3& origin, const Vec3& direction, float tMin,
                   float tMax, float& t)
{
    const Bounds& local = mesh.bounds();
    if (local.empty)
        return false;
    float boxMin = tMin, boxMax = tMax;
    if (!local.transformed(world).rayRange(origin, direction, boxMin, boxMax))
        return false;

    const size_t vertices = mesh.positions.size() / 3;
    // Triangles in world space, so that every object's t is measured along
    // the same ray and a flattened (scale 0) object simply has no area.
    std::vector<DVec> placed(vertices);
    const float* m = world.m;
    for (size_t i = 0; i < vertices; ++i) {
        const double x = mesh.positions[3 * i], y = mesh.positions[3 * i + 1], z = mesh.positions[3 * i + 2];
        placed[i] = {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                     m[2] * x + m[6] * y + m[10] * z + m[14]};
    }
    const DVec o{origin.x, origin.y, origin.z}, d{direction.x, direction.y, direction.z};
    bool hit = false;
    double best = tMax;
    forEachTriangle(mesh, [&](uint32_t a, uint32_t b, uint32_t c) {
        if (a >= vertices || b >= vertices || c >= vertices)
            return;
        double s = 0;
        if (rayTriangle(o, d, placed[a], placed[b], placed[c], s) && s >= tMin && s <= best) {
            best = s;
            hit = true;
        }
    });
    if (hit)
        t = static_cast<float>(best);
    return hit;
}

std::vector<RayHit> instancesAlongRay(Scene& scene, const Vec3& origin, const Vec3& direction, float tMin,
                                      float tMax)
{
    std::vector<RayHit> hits;
    forEachPlacedInstance(scene, [&](MeshInstance& instance, const Mat4& world) {
        float t = 0;
        if (instance.mesh && nearestRayHit(*instance.mesh, world, origin, direction, tMin, tMax, t))
            hits.push_back({&instance, t});
    });
    // Ties (coincident surfaces) go by id, so repeated casts agree.
    std::sort(hits.begin(), hits.end(), [](const RayHit& a, const RayHit& b) {
        return a.t != b.t ? a.t < b.t : a.instance->id < b.instance->id;
    });
    return hits;
}

std::vector<RayHit> instancesUnderPixel(Scene& scene, const Camera& camera, int x, int y)
{
    Vec3 origin, direction;
    // The id image samples pixel centres; so does the ray.
    camera.rayThroughPixel(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, origin, direction);
    // The direction reaches the near plane at t = 1 and the eye-space depth
    // grows in proportion to t.
    const float farT = camera.nearDistance > 0.0f ? camera.farDistance / camera.nearDistance : 1e30f;
    return instancesAlongRay(scene, origin, direction, 1.0f, farT);
}
