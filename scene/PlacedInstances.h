#pragma once
#include "math/Mat.h"

#include <functional>

class MeshInstance;
class Scene;

// Calls visit with every visible MeshInstance hanging in the scene graph and its
// world matrix, built from the nodes' current transforms (not from the model
// view matrices of the last frame, which miss objects placed since then).
void forEachPlacedInstance(Scene& scene, const std::function<void(MeshInstance&, const Mat4& world)>& visit);
