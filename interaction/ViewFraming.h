#pragma once

class CameraController;
class Scene;

// Home and Shift + Home: the camera keeps its direction and moves so that
// every placed object (or every selected one) fills the window with a small
// margin, its pivot at the centre of their bounding box.
constexpr float framingMargin = 0.1f;

// usualNear is the camera's near distance for models of ordinary size; a
// model too small to be seen whole beyond it gets a nearer one, and the next
// framing of a larger one restores it (the renderer takes the changed
// projection with the next frame). False, with the camera left alone, when
// there is nothing with geometry to frame.
bool frameObjects(Scene& scene, CameraController& controller, bool selectionOnly, float usualNear);
