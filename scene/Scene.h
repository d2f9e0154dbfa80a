#pragma once
#include "scene/LineMode.h"
#include <memory>
#include <unordered_set>

class Camera;
class Gizmo;
class Renderable;
class SceneNode;

// The one container of everything drawn: the scene graph, the unselected and
// selected object sets, the gizmo and the switches the console changes.
class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void insertObject(Renderable* r);
    void select(Renderable* r);
    void removeRenderable(Renderable* r);
    // Deselects everything and detaches the gizmo.
    void clearSelection();

    // Angles above 90 become 90 (NaN too); there is no lower bound, a
    // negative angle opens no hole.
    void setGlobalAngle(float v);
    // Clamped to [0, 4]; NaN gives 4.
    void setGhostMultiplier(float v);
    void setSelectionCanCut(bool b);
    void setSelectionCanBeCut(bool b);
    void setSelectionLocalAngle(float v);

    // A hidden object leaves both sets: it is not drawn, does not cut, is not
    // cut and cannot be picked, until show puts it back among the unselected.
    void hide(Renderable* r);
    void show(Renderable* r);
    bool isHidden(const Renderable* r) const { return hidden.count(const_cast<Renderable*>(r)) != 0; }

    std::unique_ptr<SceneNode> root;
    std::unordered_set<Renderable*> objects;
    std::unordered_set<Renderable*> selection;
    std::unordered_set<Renderable*> hidden;
    Camera* camera = nullptr;
    std::unique_ptr<Gizmo> gizmo;
    // Edit mode starts off: a first look at a scene is for viewing.
    bool editMode = false;
    bool edgeMode = true;
    bool directionalLight = true;
    float ghostMultiplier = 4.0f;
    LineMode lineMode = LineMode::Off;
    float globalAngle = 30.0f;
};
