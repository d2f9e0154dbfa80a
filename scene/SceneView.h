#pragma once
#include "math/Vec.h"
#include "scene/LineMode.h"

#include <iosfwd>
#include <vector>

class CameraController;
class MeshInstance;
class Renderable;
class Scene;

// How a saved scene was being looked at, beside what it places: the camera,
// the scene-wide switches the console sets and which objects were selected.
// Kept in lines of their own that the block reader skips, so a scene file
// with them still reads as before:
//   camera EX EY EZ PX PY PZ FOV   eye, pivot, vertical field of view (deg)
//   lines on|off|ghost             line mode
//   ghost V                        ghost reach
//   edge on|off, dir on|off        edge mode, direction switch
//   selected I J ...               0-based positions of the placed blocks
// Each part is optional; what a file does not say is left as it is.
struct SceneView {
    bool hasCamera = false;
    Vec3 eye, pivot;
    float fovY = 70.0f;
    bool hasLineMode = false;
    LineMode lineMode = LineMode::Off;
    bool hasGhost = false;
    float ghostMultiplier = 4.0f;
    bool hasEdge = false;
    bool edgeMode = true;
    bool hasDir = false;
    bool directionalLight = true;
    std::vector<int> selected;
};

// The scene's current view; `written` lists the objects of the blocks a save
// writes, in order, which is what the positions of `selected` count.
SceneView captureSceneView(const Scene& scene, const std::vector<const Renderable*>& written);
void writeSceneView(std::ostream& out, const SceneView& view);
// Reads the view lines of a scene file's text; everything else is skipped.
SceneView parseSceneView(std::istream& in);

// Sets the switches the view holds and selects its objects (`placed` holds
// the object each block placed, null where a block placed none), as a click
// would, the gizmo on the last one. The camera is left to applyViewCamera.
void applySceneView(Scene& scene, const SceneView& view, const std::vector<MeshInstance*>& placed);
// Puts the camera where the view has it; false when the view has no camera.
// The projection changes when the field of view does: the caller hands it to
// the programs again.
bool applyViewCamera(const SceneView& view, CameraController& controller);
