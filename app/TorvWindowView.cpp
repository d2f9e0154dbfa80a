// The application's view additions: pan on the middle button or Shift + right
// drag, clip planes that follow the scene, and the recovery file at the end.
#include "app/Platform.h"
#include "app/TorvWindow.h"
#include "interaction/Gizmo.h"
#include "interaction/ObjectCentre.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "math/ClipPlanes.h"
#include "scene/PlacedInstances.h"
#include "scene/RecoveryFile.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"

#include <iostream>

bool TorvWindow::startsPan() const
{
    Platform& p = platform();
    const bool shift = p.keyDown(GLFW_KEY_LEFT_SHIFT) || p.keyDown(GLFW_KEY_RIGHT_SHIFT);
    return input->mousePressed[GLFW_MOUSE_BUTTON_MIDDLE] || (input->mousePressed[GLFW_MOUSE_BUTTON_RIGHT] && shift);
}

void TorvWindow::beginPan()
{
    pickBehind.otherClick();
    panButton = input->mousePressed[GLFW_MOUSE_BUTTON_MIDDLE] ? GLFW_MOUSE_BUTTON_MIDDLE : GLFW_MOUSE_BUTTON_RIGHT;
    // In the camera's pixels, so the world moves exactly with the cursor.
    int x = 0, y = 0;
    platform().framebufferCursor(x, y);
    cameraController->beginPan(x, y);
    interactionMode = InteractionMode::Panning;
}

void TorvWindow::followPan()
{
    if (!cameraController->panning)
        return;
    int x = 0, y = 0;
    platform().framebufferCursor(x, y);
    cameraController->pan(x, y);
}

bool TorvWindow::endsPan() const { return input->mouseReleased[panButton]; }

void TorvWindow::followSceneBounds()
{
    Bounds drawn = placedBounds(*scene);
    if (scene->editMode)
        drawn.extend(gizmoBounds(*scene->gizmo, *camera));
    // The renderer hands a changed projection to its programs with the frame.
    followBounds(drawn, *camera);
}

void TorvWindow::writeRecovery()
{
    if (!sceneLoader)
        return;
    std::string reason;
    const std::string path = writeRecoveryIfUnsaved(*sceneLoader, reason);
    if (!path.empty())
        std::cout << "Unsaved changes written to " << path << " (torv --resume opens them)" << std::endl;
    else if (!reason.empty())
        std::cout << "WARNING: unsaved changes lost: " << reason << std::endl;
}
