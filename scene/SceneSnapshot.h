#pragma once
#include "scene/LineMode.h"

#include <cstdint>
#include <vector>

class Mesh;
class Scene;
class SceneLoader;

// Everything an undo step restores: each placed model (a child of the root
// whose first attachment is a MeshInstance) with its cached mesh, transform,
// flags, angle and visibility, and the scene-wide switches the console sets. Selection,
// camera and edit mode are not part of it.
struct SceneSnapshot {
    struct Placed {
        uint32_t instanceId = 0; // which live object this was, to keep it
        const Mesh* mesh = nullptr;
        float translation[3] = {0, 0, 0};
        float rotation[3] = {0, 0, 0};
        float scale = 1;
        bool canCut = true, canBeCut = true;
        float localAngle = -1;
        bool hidden = false;
    };
    std::vector<Placed> placed;
    float globalAngle = 30;
    bool edgeMode = true, directionalLight = true;
    LineMode lineMode = LineMode::Off;
    float ghostMultiplier = 4;

    // Same scene content; which live objects hold it does not matter.
    bool sameContent(const SceneSnapshot& other) const;
};

SceneSnapshot captureScene(const Scene& scene);
// Makes the scene hold the snapshot again. Placed objects that still exist
// are kept (with their selection) and only given back their values; missing
// ones are placed anew from the model cache, so no file is read.
void restoreScene(Scene& scene, SceneLoader& loader, const SceneSnapshot& snapshot);
