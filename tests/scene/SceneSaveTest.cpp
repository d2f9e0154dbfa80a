// Scene files written by the loader and read back: blocks, flags, angles and
// the view survive; a failing save keeps the previous file.
#include "scene/SceneLoaderFixture.h"

namespace fs = std::filesystem;

TEST_F(SceneLoaderTest, SaveThenLoadKeepsOrderTransformsFlagsAndAngles)
{
    SceneNode* tree = place("Tree.obj");
    SRTTransform& t = *tree->srt();
    t.translation = Vec3(1.23456789f, -2, 0.5f);
    t.scale = 0.25f;
    t.rotation[1] = 1.57079632f;
    t.rotation[2] = -0.1f;
    instanceOf(tree)->canBeCut = false;
    instanceOf(tree)->setLocalAngle(45);
    // A node without attachments is not a placed model and is not written.
    (new SceneNode(scene.get()))->setParent(scene->root.get());
    SceneNode* box = place("box.obj");
    instanceOf(box)->canCut = false;
    SceneNode* tree2 = place("Tree.obj");
    tree2->srt()->translation = Vec3(0, 0, -3);
    scene->setGlobalAngle(55);
    ASSERT_TRUE(loader->saveScene("round.sce"));

    // Disturb the scene; the load must replace all of it.
    scene->globalAngle = 10;
    scene->select(instanceOf(box));
    scene->gizmo->setTarget(box);
    place("box.obj");

    testing::internal::CaptureStdout();
    ASSERT_TRUE(loader->loadScene("round.sce"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "cached models are not read again";

    const std::vector<SceneNode*> nodes = placed();
    ASSERT_EQ(nodes.size(), 3u);
    Mesh* treeMesh = loader->modelsByName.at("tree.obj").get();
    Mesh* boxMesh = loader->modelsByName.at("box.obj").get();
    EXPECT_EQ(instanceOf(nodes[0])->mesh, treeMesh);
    EXPECT_EQ(instanceOf(nodes[1])->mesh, boxMesh);
    EXPECT_EQ(instanceOf(nodes[2])->mesh, treeMesh);

    const SRTTransform& r = *nodes[0]->srt();
    EXPECT_EQ(r.translation.x, 1.23457f) << "six significant digits";
    EXPECT_EQ(r.translation.y, -2.0f);
    EXPECT_EQ(r.translation.z, 0.5f);
    EXPECT_EQ(r.scale, 0.25f);
    EXPECT_EQ(r.rotation[0], 0.0f);
    EXPECT_EQ(r.rotation[1], 1.5708f);
    EXPECT_EQ(r.rotation[2], -0.1f);
    EXPECT_EQ(nodes[2]->srt()->translation.z, -3.0f);
    EXPECT_EQ(nodes[1]->srt()->scale, 1.0f);

    struct Flags {
        bool canCut, canBeCut;
        float localAngle;
    };
    const Flags expected[] = {{true, false, 45}, {false, true, -1}, {true, true, -1}};
    for (size_t i = 0; i < 3; ++i) {
        const MeshInstance* m = instanceOf(nodes[i]);
        EXPECT_EQ(m->canCut, expected[i].canCut) << "node " << i;
        EXPECT_EQ(m->canBeCut, expected[i].canBeCut) << "node " << i;
        EXPECT_EQ(m->localAngle, expected[i].localAngle) << "node " << i;
    }
    EXPECT_EQ(scene->globalAngle, 55);
    EXPECT_EQ(scene->objects.size(), 3u);
    EXPECT_TRUE(scene->selection.empty());
    expectGizmoDetached(*scene->gizmo);

    // An absolute name is a path of its own, outside scenes/.
    const std::string elsewhere = (base / "elsewhere.sce").string();
    ASSERT_TRUE(loader->saveScene(elsewhere));
    scene->root->clearChildren();
    ASSERT_TRUE(loader->loadScene(elsewhere));
    EXPECT_EQ(placed().size(), 3u);
}

TEST_F(SceneLoaderTest, AMeshWithoutCachedNameIsWrittenNamelessAndDroppedOnLoad)
{
    Mesh stray;
    loader->createInstance(&stray);
    place("box.obj");
    ASSERT_TRUE(loader->saveScene("stray.sce"));
    const std::string text = readScene("stray.sce");
    EXPECT_NE(text.find("meshnode\nfile \nt 0 0 0\n"), std::string::npos) << text;

    ASSERT_TRUE(loader->loadScene("stray.sce"));
    ASSERT_EQ(scene->root->children.size(), 1u);
    EXPECT_EQ(instanceOf(scene->root->children.front())->mesh, loader->modelsByName.at("box.obj").get());
}

TEST_F(SceneLoaderTest, AFailingSaveKeepsThePreviousFile)
{
    place("Tree.obj");
    ASSERT_TRUE(loader->saveScene("keep.sce"));
    const std::string before = readScene("keep.sce");

    place("box.obj");
    loader->sceneDirectory = (base / "missing").string() + "/";
    EXPECT_FALSE(loader->saveScene("keep.sce"));
    EXPECT_FALSE(fs::exists(base / "missing"));
    // The same file reached through a folder that does not exist.
    loader->sceneDirectory = (base / "missing" / ".." / "scenes").string() + "/";
    EXPECT_FALSE(loader->saveScene("keep.sce"));
    EXPECT_EQ(readScene("keep.sce"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(base / "scenes"), fs::directory_iterator()), 1);
}

TEST_F(SceneLoaderTest, TheViewIsSavedBesideTheBlocksAndRestored)
{
    Camera camera(Vec3(0, 1, 0), Vec3(1.25f, 7.123457f, -3.1f), Vec3(0.5f, 0, 0), 800, 800, 0.1f, 1000, 50);
    scene->camera = &camera;
    const std::vector<SceneNode*> nodes = {place("Tree.obj"), place("box.obj"), place("Tree.obj")};
    scene->select(instanceOf(nodes[0]));
    scene->select(instanceOf(nodes[2]));
    scene->lineMode = LineMode::Ghost;
    scene->setGhostMultiplier(2.5f);
    scene->edgeMode = false;
    scene->directionalLight = false;
    ASSERT_TRUE(loader->saveScene("view.sce"));
    const std::string text = readScene("view.sce");

    // A reader of the blocks alone sees the same three models.
    std::istringstream in(text);
    const SceneFileContents contents = parseSceneText(in);
    ASSERT_EQ(contents.placements.size(), 3u) << text;
    EXPECT_EQ(contents.placements[1].file, "box.obj");

    scene->lineMode = LineMode::Off;
    scene->setGhostMultiplier(4);
    scene->edgeMode = scene->directionalLight = true;
    ASSERT_TRUE(loader->loadScene("view.sce"));
    const std::vector<SceneNode*> again = placed();
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(scene->selection, std::unordered_set<Renderable*>({instanceOf(again[0]), instanceOf(again[2])}));
    EXPECT_NE(scene->gizmo->target, nullptr);
    EXPECT_EQ(scene->lineMode, LineMode::Ghost);
    EXPECT_EQ(scene->ghostMultiplier, 2.5f);
    EXPECT_FALSE(scene->edgeMode);
    EXPECT_FALSE(scene->directionalLight);

    // The camera comes back exactly, so the same picture can be rendered.
    Camera other(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(0, 0, 0), 800, 800, 0.1f, 1000, 70);
    CameraController controller(&other);
    ASSERT_TRUE(applyViewCamera(loader->lastView, controller));
    EXPECT_EQ(other.eye.y, 7.123457f);
    EXPECT_EQ(other.eye.z, -3.1f);
    EXPECT_EQ(controller.pivot.x, 0.5f);
    EXPECT_EQ(other.fovY, 50.0f);
    EXPECT_EQ(other.view.m[12], camera.view.m[12]);
    EXPECT_EQ(other.projection.m[0], camera.projection.m[0]);

    // Lines it cannot use are skipped; a file without them changes nothing
    // the blocks do not.
    writeScene("odd.sce", "meshnode\nfile tree.obj\nendmeshnode\ncamera 1 2 3 4 5 6\ncamera 1 2 3 1 2 3 70\n"
                          "camera 1 2 3 0 0 0 180\nlines purple\nghost x\nedge maybe\nselected 1 -1 a 0.5\n");
    ASSERT_TRUE(loader->loadScene("odd.sce"));
    EXPECT_FALSE(loader->lastView.hasCamera);
    EXPECT_TRUE(scene->selection.empty());
    EXPECT_EQ(scene->lineMode, LineMode::Ghost);
    EXPECT_EQ(scene->ghostMultiplier, 2.5f);
    EXPECT_FALSE(scene->edgeMode);
}
