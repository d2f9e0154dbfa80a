#pragma once
#include "math/Mat.h"

#include <list>
#include <memory>

class Scene;
class Transform;
class Transformable;
class SRTTransform;

// A node of the scene graph: owns its children, the objects it places and,
// for placed models, its own SRTTransform.
class SceneNode {
public:
    explicit SceneNode(Scene* scene);
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Appends this parentless node to p's children; p takes ownership.
    void setParent(SceneNode* p);
    // Places t (which hangs on no node yet) here; the node takes ownership.
    void attach(Transformable* t);
    void update(const Mat4& parentMatrix, float parentScale);
    void clearChildren();
    // Leaves the parent and destroys this node with everything it holds.
    void deleteNode();

    // Gives the node its own transform (owned); replaces the shared identity.
    void setTransform(std::unique_ptr<Transform> t);
    // The node's SRTTransform, or null while it has the shared identity.
    SRTTransform* srt() const;

    Scene* scene;
    std::list<SceneNode*> children;
    SceneNode* parent = nullptr;
    std::list<Transformable*> attachments;
    Transform* transform;
    float accumulatedScale = 1.0f;
    Mat4 matrix;

private:
    void destroyContents();
    std::unique_ptr<Transform> ownedTransform;
};
