#pragma once
#include "math/Mat.h"

#include <cstdint>
#include <vector>

class Camera;
class Mesh;
class MeshInstance;
class Scene;

// Exact ray casting against the CPU copies of the placed meshes: the objects
// that lie under one pixel, hidden ones included, which the id image cannot
// tell.

// The smallest t in [tMin, tMax] at which origin + t * direction meets a
// triangle of the mesh placed by world (both faces count). False when it
// misses, and always for a mesh without triangles.
bool nearestRayHit(const Mesh& mesh, const Mat4& world, const Vec3& origin, const Vec3& direction, float tMin,
                   float tMax, float& t);

struct RayHit {
    MeshInstance* instance;
    float t;
};

// Every placed instance the ray meets within [tMin, tMax], front to back by
// nearest hit.
std::vector<RayHit> instancesAlongRay(Scene& scene, const Vec3& origin, const Vec3& direction, float tMin,
                                      float tMax);

// The same for the view ray through the centre of window pixel (x, y), from
// the near plane to the far plane.
std::vector<RayHit> instancesUnderPixel(Scene& scene, const Camera& camera, int x, int y);
