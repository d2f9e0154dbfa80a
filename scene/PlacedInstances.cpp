#include "scene/PlacedInstances.h"

#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

namespace {

void visitNode(const Scene& scene, SceneNode& node, const Mat4& parent, float parentScale,
               const std::function<void(MeshInstance&, const Mat4&)>& visit)
{
    node.transform->recompute();
    float scale = parentScale;
    Mat4 world = node.transform->compose(parent, parentScale, scale);
    for (Transformable* t : node.attachments)
        if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && !scene.isHidden(instance))
            visit(*instance, world);
    for (SceneNode* child : node.children)
        visitNode(scene, *child, world, scale, visit);
}

} // namespace

void forEachPlacedInstance(Scene& scene, const std::function<void(MeshInstance&, const Mat4& world)>& visit)
{
    if (scene.root)
        visitNode(scene, *scene.root, Mat4(), 1.0f, visit);
}
