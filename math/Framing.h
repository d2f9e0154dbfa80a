#pragma once

#include "math/Vec.h"

#include <vector>

class Camera;

// Where the camera goes to show a set of points whole: the pivot at the
// centre of their bounding box, the eye on the line through the pivot along
// the camera's current view direction.
struct ViewFit {
    Vec3 pivot;
    Vec3 eye;
    float distance = 0.0f; // eye to pivot
    // The near distance that lets the front of the points be seen: the
    // camera's usual one unless the points come closer than it.
    float nearDistance = 0.0f;
};

// The eye is placed as close as it can be while every point lies inside the
// field of view shrunk by margin (0.1 keeps a tenth of the half-width free on
// each side). A model smaller than the near distance would be clipped there,
// so the near distance shrinks with it (never above usualNear, to which it
// returns for larger ones). The eye never goes so far that the points pass
// the far plane; when they are too deep for both, the far plane wins over
// the fit, and the eye stays within the far distance of the pivot whatever
// happens. False when there is no finite point.
bool fitView(const std::vector<Vec3>& points, const Camera& camera, float margin, float usualNear, ViewFit& fit);
