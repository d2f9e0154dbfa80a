#pragma once

#include "math/Bounds.h"

class Camera;

// Near and far planes that follow what is to be drawn: the far plane just
// beyond the farthest corner of the box as the camera sees it, the near plane
// just before its nearest corner, or, with the eye inside the box or very
// close, a fixed share of the far distance. Depth is measured between them
// logarithmically, so the same scene at any scale (0.1 mm to 10 km across)
// gets the same depth steps, and nothing of it is clipped.
struct ClipPlanes {
    float nearDistance;
    float farDistance;
};

// The nearest near plane, as a share of the far distance: it keeps the
// depth's logarithmic range (and so its steps) bounded with the eye inside
// a model.
constexpr float minNearShare = 1e-5f;

// False (planes untouched) for an empty box or a box wholly behind the eye.
bool clipPlanesFor(const Bounds& world, const Camera& camera, ClipPlanes& planes);

// Gives the camera those planes (marking its projection dirty and updating it
// when they changed). True when the projection changed.
bool followBounds(const Bounds& world, Camera& camera);
