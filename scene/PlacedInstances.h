#pragma once
#include "math/Bounds.h"
#include "math/Mat.h"

#include <functional>

class Mesh;
class MeshInstance;
class Scene;

// Calls visit with every visible MeshInstance hanging in the scene graph and its
// world matrix, built from the nodes' current transforms (not from the model
// view matrices of the last frame, which miss objects placed since then).
void forEachPlacedInstance(Scene& scene, const std::function<void(MeshInstance&, const Mat4& world)>& visit);

// True when the mesh has at least one triangle to draw.
bool hasTriangles(const Mesh& mesh);

// The world box around every placed mesh (each mesh's own box carried by its
// world matrix); empty when nothing with vertices is placed.
Bounds placedBounds(Scene& scene);
