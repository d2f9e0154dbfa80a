#pragma once

class CameraController;
class Scene;

// Home and Shift + Home: the camera keeps its direction and moves so that
// every placed object (or every selected one) fills the window with a small
// margin, its pivot at the centre of their bounding box.
constexpr float framingMargin = 0.1f;

// The near and far planes are not its business: they follow the scene's
// bounds every frame (math/ClipPlanes.h). False, with the camera left alone,
// when there is nothing with geometry to frame.
bool frameObjects(Scene& scene, CameraController& controller, bool selectionOnly);
