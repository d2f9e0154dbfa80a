#include "scene/SceneSnapshot.h"

#include "interaction/Gizmo.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

MeshInstance* placedInstance(SceneNode* node)
{
    return node->attachments.empty() ? nullptr : dynamic_cast<MeshInstance*>(node->attachments.front());
}

bool samePlaced(const SceneSnapshot::Placed& a, const SceneSnapshot::Placed& b)
{
    return a.mesh == b.mesh && std::equal(a.translation, a.translation + 3, b.translation) &&
           std::equal(a.rotation, a.rotation + 3, b.rotation) && a.scale == b.scale && a.canCut == b.canCut &&
           a.canBeCut == b.canBeCut && a.localAngle == b.localAngle && a.hidden == b.hidden;
}

void apply(Scene& scene, SceneNode* node, MeshInstance* instance, const SceneSnapshot::Placed& p)
{
    if (p.hidden)
        scene.hide(instance);
    else
        scene.show(instance);
    if (SRTTransform* srt = node->srt()) {
        srt->translation = Vec3(p.translation[0], p.translation[1], p.translation[2]);
        std::copy(p.rotation, p.rotation + 3, srt->rotation);
        srt->scale = p.scale;
    }
    instance->canCut = p.canCut;
    instance->canBeCut = p.canBeCut;
    instance->localAngle = p.localAngle;
}

} // namespace

bool SceneSnapshot::sameContent(const SceneSnapshot& o) const
{
    return globalAngle == o.globalAngle && edgeMode == o.edgeMode && directionalLight == o.directionalLight &&
           lineMode == o.lineMode && ghostMultiplier == o.ghostMultiplier && placed.size() == o.placed.size() &&
           std::equal(placed.begin(), placed.end(), o.placed.begin(), samePlaced);
}

SceneSnapshot captureScene(const Scene& scene)
{
    SceneSnapshot s;
    s.globalAngle = scene.globalAngle;
    s.edgeMode = scene.edgeMode;
    s.directionalLight = scene.directionalLight;
    s.lineMode = scene.lineMode;
    s.ghostMultiplier = scene.ghostMultiplier;
    for (SceneNode* node : scene.root->children) {
        MeshInstance* instance = placedInstance(node);
        if (!instance)
            continue;
        SceneSnapshot::Placed p;
        p.instanceId = instance->id;
        p.mesh = instance->mesh;
        if (const SRTTransform* srt = node->srt()) {
            p.translation[0] = srt->translation.x;
            p.translation[1] = srt->translation.y;
            p.translation[2] = srt->translation.z;
            std::copy(srt->rotation, srt->rotation + 3, p.rotation);
            p.scale = srt->scale;
        }
        p.canCut = instance->canCut;
        p.canBeCut = instance->canBeCut;
        p.localAngle = instance->localAngle;
        p.hidden = scene.isHidden(instance);
        s.placed.push_back(p);
    }
    return s;
}

void restoreScene(Scene& scene, SceneLoader& loader, const SceneSnapshot& snapshot)
{
    scene.globalAngle = snapshot.globalAngle;
    scene.edgeMode = snapshot.edgeMode;
    scene.directionalLight = snapshot.directionalLight;
    scene.lineMode = snapshot.lineMode;
    scene.ghostMultiplier = snapshot.ghostMultiplier;

    std::unordered_set<uint32_t> wanted;
    for (const SceneSnapshot::Placed& p : snapshot.placed)
        wanted.insert(p.instanceId);

    // Placed objects the snapshot does not hold go; the gizmo and the
    // selection must not keep pointing at them.
    std::unordered_map<uint32_t, SceneNode*> kept;
    std::vector<SceneNode*> others, doomed;
    for (SceneNode* node : scene.root->children) {
        MeshInstance* instance = placedInstance(node);
        if (!instance)
            others.push_back(node);
        else if (wanted.count(instance->id))
            kept[instance->id] = node;
        else
            doomed.push_back(node);
    }
    for (SceneNode* node : doomed) {
        if (scene.gizmo->target == node || scene.selection.count(placedInstance(node)))
            scene.clearSelection();
    }
    for (SceneNode* node : doomed)
        node->deleteNode();

    // Rebuild the root's list in the snapshot's order (the order files save in).
    std::list<SceneNode*> order(others.begin(), others.end());
    for (const SceneSnapshot::Placed& p : snapshot.placed) {
        auto it = kept.find(p.instanceId);
        SceneNode* node = nullptr;
        if (it != kept.end()) {
            node = it->second;
            kept.erase(it); // one node serves one entry
        } else {
            node = loader.createInstance(const_cast<Mesh*>(p.mesh));
            scene.root->children.pop_back(); // re-added below in its place
        }
        order.push_back(node);
        apply(scene, node, placedInstance(node), p);
    }
    scene.root->children.swap(order);
}
