#include "math/CameraController.h"

#include <cmath>

#include "math/Camera.h"

CameraController::CameraController(Camera* camera_)
    : camera(camera_),
      pivot(),
      eye(camera_->eye),
      dragStartEye(),
      dragStartX(0),
      dragStartY(0),
      orbiting(0) {}

void CameraController::focus(Vec3 point) {
    pivot = point;
    camera->target = point;
    camera->viewDirty = true;
    camera->update();
}

void CameraController::lookFrom(Vec3 newEye, Vec3 target) {
    eye = newEye;
    pivot = target;
    camera->eye = newEye;
    camera->target = target;
    camera->viewDirty = true;
    camera->update();
}

void CameraController::zoom(int wheel) {
    float k = 1.0f - static_cast<float>(wheel) * 0.04f;
    Vec3 offset = eye - pivot;
    Vec3 scaled = offset * k;

    // Stop at the near plane rather than reach or pass through the pivot.
    float minDistance = std::fmax(camera->nearDistance, minZoomDistance);
    if (k > 0.0f && length(scaled) >= minDistance) {
        eye = pivot + scaled;
    } else {
        float distance = length(offset);
        // With the eye on the pivot the view's backward axis (the inverse
        // view's z column) is the only direction left to back away along.
        Vec3 away = distance > 0.0f
                        ? offset / distance
                        : normalize(Vec3(camera->inverseView[8], camera->inverseView[9],
                                         camera->inverseView[10]));
        if (length(away) == 0.0f) away = Vec3(0.0f, 0.0f, 1.0f);
        eye = pivot + away * minDistance;
    }

    camera->eye = eye;
    camera->viewDirty = true;
    camera->update();
}

void CameraController::beginOrbit(int mouseX, int mouseY) {
    orbiting = 1;
    dragStartEye = eye;
    dragStartX = mouseX;
    dragStartY = mouseY;
}

void CameraController::endOrbit() { orbiting = 0; }

void CameraController::orbit(int mouseX, int mouseY) {
    if (!orbiting) return;

    float dx = static_cast<float>(mouseX - dragStartX);
    float dy = static_cast<float>(mouseY - dragStartY);
    float yaw = dx / pixelsPerRadian;
    float pitch = dy / pixelsPerRadian;

    Vec3 o = dragStartEye - pivot;

    float cy = std::cos(yaw), sy = std::sin(yaw);
    float x1 = cy * o.x - sy * o.z;
    float z1 = sy * o.x + cy * o.z;
    float h = squareRoot(x1 * x1 + z1 * z1);

    // A long drag could tilt the offset over the pole and on round to the
    // other side (elevation past 180 degrees), where the limit below would
    // snap it to the opposite pole. Tilting further than straight up or down
    // ends at the limit anyway, so stop the tilt there.
    const float halfPi = 1.5707963f;
    float startElevation = std::atan2(o.y, h);
    pitch = std::fmin(std::fmax(pitch, -halfPi - startElevation), halfPi - startElevation);

    float cp = std::cos(pitch), sp = std::sin(pitch);
    float H = cp * h - sp * o.y;
    float Y = sp * h + cp * o.y;

    const float L = std::tan(maxElevation);
    if ((Y > 0.0f && (Y / H > L || H < 0.0f)) || (Y < 0.0f && (Y / H < -L || H < 0.0f))) {
        float elevation = Y > 0.0f ? maxElevation : -maxElevation;
        float r = length(Vec3(x1, o.y, z1));
        H = r * std::cos(elevation);
        Y = r * std::sin(elevation);
    }

    // With the drag starting straight above or below the pivot (or on it) the
    // offset has no horizontal direction; take the +z axis turned by the yaw,
    // which is where the turn would carry an offset that lay along +z. Below
    // about 1e-18 the squares in h underflow and x1 / h stops being a unit
    // direction, so such an offset counts as vertical too.
    Vec3 offset;
    if (h > 1e-18f) {
        offset = Vec3(x1 * H / h, Y, z1 * H / h);
    } else {
        offset = Vec3(-sy * H, Y, cy * H);
    }
    eye = pivot + offset;

    camera->target = pivot;
    camera->eye = eye;
    camera->viewDirty = true;
    camera->update();
}
