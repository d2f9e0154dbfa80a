#include "interaction/Gizmo.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"
#include "scene/Transformable.h"

void Scene::hide(Renderable* r)
{
    if (!r || hidden.count(r) || (!objects.count(r) && !selection.count(r)))
        return;
    if (selection.erase(r)) {
        r->onDeselect();
        // The gizmo must not stay on an object that can no longer be seen.
        auto* t = dynamic_cast<Transformable*>(r);
        if (t && gizmo->target == t->node)
            gizmo->setTarget(nullptr);
    }
    objects.erase(r);
    hidden.insert(r);
}

void Scene::show(Renderable* r)
{
    if (hidden.erase(r))
        objects.insert(r);
}
