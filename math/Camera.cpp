#include "math/Camera.h"

#include <cmath>

Camera::Camera(Vec3 up_, Vec3 eye_, Vec3 target_, int width, int height,
               float nearDistance_, float farDistance_, float fovY_)
    : viewportWidth(width),
      viewportHeight(height),
      // An empty viewport has no shape; square keeps the projection finite.
      aspect(width > 0 && height > 0 ? static_cast<float>(width) / static_cast<float>(height)
                                     : 1.0f),
      nearDistance(nearDistance_),
      farDistance(farDistance_),
      fovY(fovY_),
      eye(eye_),
      target(target_),
      up(up_),
      viewDirty(true),
      projectionDirty(true) {
    update();
}

void Camera::update() {
    if (!viewDirty && !projectionDirty) return;

    if (viewDirty) {
        Mat4 v = lookAt(eye, target, up);
        Mat4 iv = inverse(v);
        if (isFinite(v) && isFinite(iv)) {
            view = v;
            inverseView = iv;
        }
        viewDirty = false;
    }
    if (projectionDirty) {
        Mat4 p = perspective(fovY, aspect, nearDistance, farDistance);
        if (isFinite(p)) projection = p;
        projectionDirty = false;
    }
    Mat4 vp = projection * view;
    if (isFinite(vp)) viewProjection = vp;
}

void Camera::rayThroughPixel(float x, float y, Vec3& origin, Vec3& direction) const {
    float top = std::tan(fovY * 3.14159265f / 360.0f) * nearDistance;
    float right = aspect * top;
    // A zero-size viewport has only its centre ray.
    float nx = viewportWidth > 0 ? 2.0f * x / static_cast<float>(viewportWidth) - 1.0f : 0.0f;
    float ny = viewportHeight > 0 ? 1.0f - 2.0f * y / static_cast<float>(viewportHeight) : 0.0f;
    Vec4 onNear(right * nx, top * ny, -nearDistance, 1.0f);

    origin = inverseView.translation();
    direction = xyz(inverseView * onNear) - origin;
}
