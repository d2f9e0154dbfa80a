// Scene objects, transforms, the scene container and its graph, without GL:
// instances here draw no mesh and the gizmo never uploads.
#include "geometry/Mesh.h"
#include "math/MathExpect.h"
#include "scene/Identifiable.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "scene/SceneTestSupport.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const float halfPi = std::acos(-1.0f) / 2;

MeshInstance* instanceOf(SceneNode* node)
{
    return dynamic_cast<MeshInstance*>(node->attachments.front());
}

SRTTransform& srtOf(SceneNode* node)
{
    return *node->srt();
}

Vec3 mapped(SRTTransform& t, const Vec3& p)
{
    t.recompute();
    return transformPoint(t.localMatrix, p);
}

}  // namespace

TEST(Identifiable, IdsRiseByOneAreNeverReusedAndLeadBackToTheObject)
{
    uint32_t gone;
    {
        Identifiable first;
        gone = first.id;
        ASSERT_GT(gone, 0u) << "0 is the background";
        EXPECT_EQ(lookupId(gone), &first);
    }
    EXPECT_EQ(lookupId(gone), nullptr) << "a destroyed object's slot is emptied";

    Identifiable next;
    EXPECT_EQ(next.id, gone + 1) << "the dead id is not given out again";
    Mesh mesh;
    MeshInstance instance(&mesh);
    EXPECT_EQ(instance.id, next.id + 1);
    // Picking reaches the instance through its Identifiable part.
    EXPECT_EQ(dynamic_cast<MeshInstance*>(lookupId(instance.id)), &instance);
    EXPECT_EQ(idRegistry().size(), static_cast<size_t>(instance.id) + 1);

    EXPECT_EQ(lookupId(0), nullptr);
    EXPECT_EQ(lookupId(instance.id + 1), nullptr);
    EXPECT_EQ(lookupId(std::numeric_limits<uint32_t>::max()), nullptr);
}

TEST(SRTTransform, RotatesXThenYThenZAfterScalingAndBeforeTranslating)
{
    SRTTransform t;
    t.rotation[0] = halfPi;
    expectVecNear(mapped(t, {0, 1, 0}), {0, 0, 1}, 1e-6f);
    expectVecNear(mapped(t, {0, 0, 1}), {0, -1, 0}, 1e-6f);

    t.rotation[0] = 0;
    t.rotation[2] = halfPi;
    expectVecNear(mapped(t, {1, 0, 0}), {0, 1, 0}, 1e-6f);

    // x first: y goes to z under rx, then z to x under ry.
    t.rotation[0] = halfPi;
    t.rotation[1] = halfPi;
    t.rotation[2] = 0;
    expectVecNear(mapped(t, {0, 1, 0}), {1, 0, 0}, 1e-6f);

    // Scaled, then turned, then moved: (1,0,0) -> (2,0,0) -> (0,2,0) -> (10,2,0).
    SRTTransform u;
    u.scale = 2;
    u.rotation[2] = halfPi;
    u.translation = Vec3(10, 0, 0);
    expectVecNear(mapped(u, {1, 0, 0}), {10, 2, 0}, 1e-5f);
}

TEST(SceneNode, UpdateHandsEachInstanceTheViewTimesItsChain)
{
    Scene scene;
    SceneLoader loader(&scene);
    SceneNode* outer = loader.createInstance(nullptr);
    SRTTransform& a = srtOf(outer);
    a.scale = 2;
    a.rotation[2] = halfPi;
    a.translation = Vec3(1, 0, 0);

    auto* inner = new SceneNode(&scene);
    auto innerTransform = std::make_unique<SRTTransform>();
    innerTransform->scale = 3;
    innerTransform->translation = Vec3(0, 1, 0);
    inner->setTransform(std::move(innerTransform));
    inner->setParent(outer);
    inner->attach(new MeshInstance(nullptr));

    Mat4 view;
    view[14] = -10;
    scene.root->update(view, 1.0f);

    // outer: (1,0,0) -> scale (2,0,0) -> turn (0,2,0) -> move (1,2,0) -> view (1,2,-10).
    expectVecNear(transformPoint(instanceOf(outer)->modelView(), {1, 0, 0}), {1, 2, -10}, 1e-5f);
    // inner first: (1,0,0) -> (3,0,0) -> (3,1,0); then outer: (6,2,0) -> (-2,6,0) -> (-1,6,0).
    expectVecNear(transformPoint(instanceOf(inner)->modelView(), {1, 0, 0}), {-1, 6, -10}, 1e-5f);
    expectMatNear(inner->matrix, instanceOf(inner)->modelView(), 0);

    EXPECT_FLOAT_EQ(scene.root->accumulatedScale, 1);
    expectMatNear(scene.root->matrix, view, 0);
    EXPECT_FLOAT_EQ(outer->accumulatedScale, 2);
    EXPECT_FLOAT_EQ(inner->accumulatedScale, 6);
}

TEST(SceneNode, DeletingANodeTakesItsRenderablesOutOfEitherSet)
{
    Scene scene;
    SceneLoader loader(&scene);
    SceneNode* kept = loader.createInstance(nullptr);
    SceneNode* doomed = loader.createInstance(nullptr);
    SceneNode* selected = loader.createInstance(nullptr);
    auto* nested = new SceneNode(&scene);
    nested->setParent(doomed);
    auto* nestedInstance = new MeshInstance(nullptr);
    nested->attach(nestedInstance);
    EXPECT_EQ(nestedInstance->node, nested);
    scene.select(instanceOf(selected));
    scene.select(nestedInstance);

    doomed->deleteNode();
    EXPECT_EQ(scene.root->children, std::list<SceneNode*>({kept, selected}));
    EXPECT_EQ(scene.objects, std::unordered_set<Renderable*>({instanceOf(kept)}));
    EXPECT_EQ(scene.selection, std::unordered_set<Renderable*>({instanceOf(selected)}))
        << "a renderable on a child of the deleted node leaves the selection too";

    selected->deleteNode();
    EXPECT_TRUE(scene.selection.empty());
    EXPECT_EQ(scene.root->children.size(), 1u);

    scene.root->deleteNode();
    EXPECT_EQ(scene.root->children, std::list<SceneNode*>({kept}));
    EXPECT_EQ(scene.objects.size(), 1u);
}

TEST(SceneNode, ClearChildrenEmptiesBothSetsOfWhatHungThere)
{
    Scene scene;
    SceneLoader loader(&scene);
    SceneNode* a = loader.createInstance(nullptr);
    loader.createInstance(nullptr);
    auto* nested = new SceneNode(&scene);
    nested->setParent(a);
    nested->attach(new MeshInstance(nullptr));
    scene.select(instanceOf(a));
    CountingRenderable elsewhere;
    scene.insertObject(&elsewhere);

    scene.root->clearChildren();
    EXPECT_TRUE(scene.root->children.empty());
    EXPECT_TRUE(scene.selection.empty());
    EXPECT_EQ(scene.objects, std::unordered_set<Renderable*>({&elsewhere})) << "only what hung on the graph goes";
}

TEST(Scene, SelectMovesAnObjectOnceAndOnlyFromObjects)
{
    Scene scene;
    CountingRenderable r, stranger;
    scene.insertObject(&r);
    scene.select(&r);
    scene.select(&r);
    scene.select(&stranger);
    EXPECT_EQ(r.selects, 1);
    EXPECT_EQ(stranger.selects, 0);
    EXPECT_TRUE(scene.objects.empty());
    EXPECT_EQ(scene.selection, std::unordered_set<Renderable*>({&r}));

    scene.insertObject(&r);
    EXPECT_TRUE(scene.objects.empty()) << "a selected object is in one set only";

    scene.removeRenderable(&r);
    scene.removeRenderable(&stranger);
    EXPECT_TRUE(scene.selection.empty());
    scene.insertObject(&r);
    scene.removeRenderable(&r);
    EXPECT_TRUE(scene.objects.empty());
}

TEST(Scene, ClearSelectionDeselectsEachAndDetachesTheGizmo)
{
    Scene scene;
    SceneLoader loader(&scene);
    SceneNode* node = loader.createInstance(nullptr);
    CountingRenderable a, b, unselected;
    for (CountingRenderable* r : {&a, &b, &unselected})
        scene.insertObject(r);
    scene.select(&a);
    scene.select(&b);
    scene.select(instanceOf(node));
    scene.gizmo->setTarget(node);
    ASSERT_TRUE(scene.gizmo->active);

    scene.clearSelection();
    EXPECT_EQ(a.deselects, 1);
    EXPECT_EQ(b.deselects, 1);
    EXPECT_EQ(unselected.deselects, 0);
    EXPECT_TRUE(scene.selection.empty());
    EXPECT_EQ(scene.objects,
              std::unordered_set<Renderable*>({&a, &b, &unselected, instanceOf(node)}));
    expectGizmoDetached(*scene.gizmo);
}

TEST(Scene, AnglesAndGhostStrengthAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float given, globalAngle, ghost;
    };
    for (const Case& c : {Case{120, 90, 4}, Case{-10, -10, 0}, Case{7, 7, 4}, Case{-1, -1, 0},
                          Case{2.5f, 2.5f, 2.5f}, Case{nan, 90, 4}}) {
        Scene scene;
        scene.setGlobalAngle(c.given);
        scene.setGhostMultiplier(c.given);
        EXPECT_EQ(scene.globalAngle, c.globalAngle) << "given " << c.given;
        EXPECT_EQ(scene.ghostMultiplier, c.ghost) << "given " << c.given;
    }
}

TEST(Scene, SelectionSettersLeaveUnselectedObjectsAlone)
{
    Scene scene;
    CountingRenderable selected, other;
    scene.insertObject(&selected);
    scene.insertObject(&other);

    scene.setSelectionLocalAngle(50);
    scene.setSelectionCanCut(false);
    EXPECT_EQ(other.localAngle, -1) << "nothing selected, nothing changes";
    EXPECT_TRUE(other.canCut);

    scene.select(&selected);
    scene.setSelectionCanCut(false);
    scene.setSelectionCanBeCut(false);
    scene.setSelectionLocalAngle(120);
    EXPECT_FALSE(selected.canCut);
    EXPECT_FALSE(selected.canBeCut);
    EXPECT_EQ(selected.localAngle, 90);
    EXPECT_TRUE(other.canCut);
    EXPECT_TRUE(other.canBeCut);
    EXPECT_EQ(other.localAngle, -1);

    scene.setSelectionLocalAngle(-5);
    EXPECT_EQ(selected.localAngle, -5) << "a negative angle means the scene's and is kept";
}

TEST(MeshInstance, SelectionBrightensAndSharesTheMesh)
{
    Scene scene;
    SceneLoader loader(&scene);
    Mesh mesh;
    SceneNode* first = loader.createInstance(&mesh);
    SceneNode* second = loader.createInstance(&mesh);
    MeshInstance* a = instanceOf(first);
    MeshInstance* b = instanceOf(second);
    EXPECT_EQ(a->mesh, b->mesh);
    EXPECT_NE(a->id, b->id);
    EXPECT_EQ(a->node, first);

    scene.select(a);
    expectVecNear(a->material.color, {1.4f, 1.4f, 1.4f}, 0);
    expectVecNear(b->material.color, {1, 1, 1}, 0);  // each instance has its own material

    a->material.color = Vec3(0.2f, 0.3f, 0.4f);
    scene.clearSelection();
    expectVecNear(a->material.color, {1, 1, 1}, 0);
}
