#pragma once

#include "math/Mat.h"

// Look-at, perspective camera. The matrices are cached and rebuilt by update()
// only when a dirty flag is set; whoever moves eye or target sets viewDirty.
class Camera {
public:
    Camera(Vec3 up, Vec3 eye, Vec3 target, int width, int height,
           float nearDistance, float farDistance, float fovY);

    // Rebuilds what is dirty. A rebuilt matrix that is not finite (NaN or
    // infinite eye, target or parameters) is dropped and the previous one
    // kept, so one bad frame of input cannot poison the following frames.
    void update();

    // Ray from the eye through pixel (x, y) (window pixels, y down) on the
    // near plane; the direction is not normalised.
    void rayThroughPixel(float x, float y, Vec3& origin, Vec3& direction) const;

    int viewportWidth;
    int viewportHeight;
    float aspect;
    float nearDistance;
    float farDistance;
    float fovY;  // degrees
    Vec3 eye;
    Vec3 target;
    Vec3 up;
    Mat4 view;
    Mat4 inverseView;
    Mat4 projection;
    Mat4 viewProjection;
    bool viewDirty;
    bool projectionDirty;
};
