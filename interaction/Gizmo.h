#pragma once
#include "geometry/Mesh.h"
#include "math/Vec.h"
#include "scene/Identifiable.h"
#include "scene/Renderable.h"

#include <memory>

class Scene;
class SceneNode;
class ShaderProgram;

// A plane through a point; offset is -(point . normal as given).
struct Plane {
    Plane() = default;
    Plane(const Vec3& p, const Vec3& n);
    Vec3 point{0, 0, 0};
    Vec3 normal{1, 0, 0};
    double offset = 0.0;
};

// A handle is idle, hovered in this frame (it lights up), or dragged.
enum class DragState { Idle, Hovered, Dragged };

// One handle: picked through its id, fed hover and press by the window, and
// stepped once per frame.
class SubGizmo : public Identifiable {
public:
    explicit SubGizmo(Scene* s) : scene(s) {}
    void hover() override;
    virtual void draw(ShaderProgram& program) = 0;
    virtual void update() = 0;

    Scene* scene;
    SceneNode* target = nullptr;
    DragState dragState = DragState::Idle;
};

class TranslateGizmo : public SubGizmo {
public:
    TranslateGizmo(Scene* s, int axis);
    PressResult press() override;
    void draw(ShaderProgram& program) override;
    void update() override;

    Mesh mesh;
    int axis;
    Vec3 color{0.4f, 0.4f, 0.4f};
    float grabOffset[2] = {0.0f, 0.0f};
    Plane dragPlane;

private:
    void dragStep();
};

class ScaleGizmo : public SubGizmo {
public:
    explicit ScaleGizmo(Scene* s);
    PressResult press() override;
    void draw(ShaderProgram& program) override;
    void update() override;

    Mesh mesh;
    int dragStartX = 0;
    int dragStartY = 0;
    float startScale = 1.0f;

private:
    void uploadMesh();
};

// The manipulator of edit mode, drawn at the origin of the most recently
// selected object at a constant size on screen.
class Gizmo : public Renderable {
public:
    explicit Gizmo(Scene* s);
    ~Gizmo() override;

    void draw(ShaderProgram& program) override;
    static constexpr int handleCount = 4;

    // Points the gizmo and its four handles at a node; null detaches them.
    void setTarget(SceneNode* node);
    // The handles in their per-frame order: translate x, y, z, then scale.
    SubGizmo* handle(int i) const;
    // Every handle back to idle: a drag ends, and does not resume later.
    void endDrag();

    SceneNode* target = nullptr;
    std::unique_ptr<TranslateGizmo> translateHandles[3];
    std::unique_ptr<ScaleGizmo> scaleHandle;
    bool active = false;
    Scene* scene;
};

// The scale factor for a horizontal drag of diff pixels: 2 at +100, 0.5 at -100.
float scaleFactorForDrag(int diff);
// Intersects a ray with a plane; false when they are (nearly) parallel.
bool intersectRayPlane(const Plane& plane, const Vec3& origin, const Vec3& direction, Vec3& hit);
