#include "scene/Scene.h"

#include "interaction/Gizmo.h"
#include "scene/Renderable.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <vector>

Scene::Scene() : root(std::make_unique<SceneNode>(this)), gizmo(std::make_unique<Gizmo>(this)) {}

Scene::~Scene()
{
    // Nodes report their renderables back while they are destroyed, so the
    // whole graph, root attachments included, must go before the sets do.
    root.reset();
}

void Scene::insertObject(Renderable* r)
{
    if (r && !selection.count(r) && !hidden.count(r))
        objects.insert(r);
}

void Scene::select(Renderable* r)
{
    auto it = objects.find(r);
    if (it == objects.end())
        return;
    objects.erase(it);
    selection.insert(r);
    r->onSelect();
}

void Scene::removeRenderable(Renderable* r)
{
    objects.erase(r);
    selection.erase(r);
    hidden.erase(r);
}

void Scene::clearSelection()
{
    for (Renderable* r : selection) {
        r->onDeselect();
        objects.insert(r);
    }
    selection.clear();
    gizmo->setTarget(nullptr);
}

void Scene::setGlobalAngle(float v)
{
    globalAngle = v < 90.0f ? v : 90.0f;
}

void Scene::setGhostMultiplier(float v)
{
    if (v != v) {
        ghostMultiplier = 4.0f;
        return;
    }
    ghostMultiplier = std::max(std::min(v, 4.0f), 0.0f);
}

void Scene::setSelectionCanCut(bool b)
{
    for (Renderable* r : selection)
        r->canCut = b;
}

void Scene::setSelectionCanBeCut(bool b)
{
    for (Renderable* r : selection)
        r->canBeCut = b;
}

void Scene::setSelectionLocalAngle(float v)
{
    for (Renderable* r : selection)
        r->setLocalAngle(v);
}
