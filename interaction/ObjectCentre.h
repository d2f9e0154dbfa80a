#pragma once
#include "math/Bounds.h"
#include "math/Vec.h"

class Camera;
class Gizmo;
class SceneNode;
class Transformable;

// The middle of what a node places, in the node's own coordinates: the centre
// of its first mesh instance's bounding box. A whole model is centred on its
// box when imported, so this is its origin; a part keeps its place in the
// model, so its centre lies away from the origin it shares with the others.
Vec3 placedCentre(const SceneNode* node);

// That centre in world space, as the object stood in the last scene update
// (its model-view matrix carried back through the camera's inverse view).
Vec3 worldCentre(const Transformable& object, const Camera& camera);

// The world box the gizmo takes up around its target's centre (empty when it
// is not shown), so the clip planes can hold it.
Bounds gizmoBounds(const Gizmo& gizmo, const Camera& camera);
