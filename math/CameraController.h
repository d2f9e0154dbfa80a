#pragma once

#include "math/Vec.h"

class Camera;

// Orbits the camera's eye about a pivot while dragging, zooms toward the pivot
// and moves the pivot (focus). Every change is pushed into the camera, which
// is then updated.
class CameraController {
public:
    // The camera is not owned and must outlive the controller.
    explicit CameraController(Camera* camera);

    // Moves the point looked at; the eye stays.
    void focus(Vec3 point);
    // Places the eye and the point looked at (and orbited) together.
    void lookFrom(Vec3 newEye, Vec3 target);

    // +1 per wheel notch forward brings the eye 4 % closer to the pivot.
    void zoom(int wheel);

    // Mouse positions are window pixels, y down. orbit() turns the offset held
    // at beginOrbit() by the mouse travel since then, so it is absolute with
    // respect to the drag start; it does nothing while not orbiting.
    void beginOrbit(int mouseX, int mouseY);
    void endOrbit();
    void orbit(int mouseX, int mouseY);

    Camera* camera;
    Vec3 pivot;
    Vec3 eye;
    Vec3 dragStartEye;
    int dragStartX;
    int dragStartY;
    int orbiting;

    static constexpr float maxElevation = 1.4136749505996704f;  // about 81 degrees
    static constexpr float pixelsPerRadian = 200.0f;
    // Zooming never brings the eye closer to the pivot than this (or the
    // camera's near distance, if larger): a zero offset would lose the
    // direction to zoom back out along.
    static constexpr float minZoomDistance = 1e-3f;
};
