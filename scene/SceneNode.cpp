#include "scene/SceneNode.h"

#include "scene/Renderable.h"
#include "scene/Scene.h"
#include "scene/Transform.h"
#include "scene/Transformable.h"

#include <algorithm>

SceneNode::SceneNode(Scene* s) : scene(s), transform(&sharedIdentityTransform()) {}

SceneNode::~SceneNode()
{
    destroyContents();
}

void SceneNode::destroyContents()
{
    for (Transformable* t : attachments) {
        if (auto* r = dynamic_cast<Renderable*>(t); r && scene)
            scene->removeRenderable(r);
        delete t;
    }
    attachments.clear();
    for (SceneNode* child : children) {
        child->parent = nullptr;
        delete child;
    }
    children.clear();
}

void SceneNode::setParent(SceneNode* p)
{
    if (!p || parent)
        return;
    p->children.push_back(this);
    parent = p;
}

void SceneNode::attach(Transformable* t)
{
    if (!t)
        return;
    t->node = this;
    if (auto* r = dynamic_cast<Renderable*>(t); r && scene)
        scene->insertObject(r);
    attachments.push_back(t);
}

void SceneNode::update(const Mat4& parentMatrix, float parentScale)
{
    transform->recompute();
    matrix = transform->compose(parentMatrix, parentScale, accumulatedScale);
    for (Transformable* t : attachments)
        t->setModelView(matrix);
    for (SceneNode* child : children)
        child->update(matrix, accumulatedScale);
}

void SceneNode::clearChildren()
{
    std::list<SceneNode*> doomed;
    doomed.swap(children);
    for (SceneNode* child : doomed) {
        child->parent = nullptr;
        delete child;
    }
}

void SceneNode::deleteNode()
{
    // Only a node that hangs on a parent is owned through it; the root (or a
    // node never attached) is not ours to delete here.
    if (!parent)
        return;
    parent->children.remove(this);
    parent = nullptr;
    delete this;
}

void SceneNode::setTransform(std::unique_ptr<Transform> t)
{
    ownedTransform = std::move(t);
    transform = ownedTransform ? ownedTransform.get() : &sharedIdentityTransform();
}

SRTTransform* SceneNode::srt() const
{
    return dynamic_cast<SRTTransform*>(transform);
}
