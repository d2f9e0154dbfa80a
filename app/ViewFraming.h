#pragma once

class Camera;
class CameraController;
class Scene;

// Points the camera at everything placed, from the direction it looks now, at
// the distance where the bounding sphere fills the view with a small margin.
// The pivot moves to the sphere's centre, so orbiting turns around the
// models. False (and nothing moved) when nothing with geometry is placed.
bool frameScene(const Scene& scene, Camera& camera, CameraController& controller);
