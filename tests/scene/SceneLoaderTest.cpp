// The model cache as the loader applies it to a scene: models imported once,
// placed whole or in parts, and found again by position, part id or name.
#include "scene/SceneLoaderFixture.h"

namespace fs = std::filesystem;

TEST_F(SceneLoaderTest, ModelNamesDifferingInCaseImportOnceAndShareTheMesh)
{
    testing::internal::CaptureStdout();
    Mesh* first = loader->loadModel("Tree.obj");
    Mesh* second = loader->loadModel("tree.OBJ");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(out, "Loaded model from"), 1) << out;
    ASSERT_EQ(first, second);
    EXPECT_TRUE(first->uploaded);
    EXPECT_EQ(first->indexCount, 3);
    // The cache ignores case; the saved name is the one that opened the file.
    EXPECT_EQ(loader->namesByModel.at(first), "Tree.obj");
    EXPECT_EQ(loader->modelsByName.size(), 1u);
    loader->createInstance(second);
    ASSERT_TRUE(loader->saveScene("case.sce"));
    EXPECT_NE(readScene("case.sce").find("file Tree.obj\n"), std::string::npos);

    // Deleting an instance leaves the cached mesh to the next one.
    loader->createInstance(first)->deleteNode();
    EXPECT_TRUE(first->uploaded);
    EXPECT_EQ(quietModel("TREE.obj"), first);
}

TEST_F(SceneLoaderTest, AFailedImportIsCachedAndReportedOnce)
{
    testing::internal::CaptureStdout();
    Mesh* missing = loader->loadModel("Missing.obj");
    const std::string firstOut = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    Mesh* again = loader->loadModel("missing.obj");
    const std::string secondOut = testing::internal::GetCapturedStdout();

    EXPECT_NE(firstOut.find("Error while loading"), std::string::npos) << firstOut;
    EXPECT_EQ(secondOut, "");
    ASSERT_EQ(missing, again);
    EXPECT_FALSE(missing->uploaded);
    EXPECT_EQ(loader->namesByModel.at(missing), "Missing.obj");
}

TEST_F(SceneLoaderTest, LoadingClearsTheSelectionEvenWhenNothingIsPlaced)
{
    SceneNode* node = place("Tree.obj");
    CountingRenderable offGraph;
    scene->insertObject(&offGraph);
    scene->select(&offGraph);
    scene->select(instanceOf(node));
    scene->gizmo->setTarget(node);
    writeScene("empty.sce", "global 45\n");

    ASSERT_TRUE(loader->loadScene("empty.sce"));
    EXPECT_EQ(offGraph.deselects, 1);
    EXPECT_TRUE(scene->selection.empty());
    EXPECT_EQ(scene->objects, std::unordered_set<Renderable*>({&offGraph}));
    EXPECT_TRUE(scene->root->children.empty());
    expectGizmoDetached(*scene->gizmo);
    EXPECT_EQ(scene->globalAngle, 45);

    // Without a "global" line the angle goes back to 30, whatever it was.
    scene->setGlobalAngle(60);
    writeScene("noglobal.sce", "meshnode\nfile tree.obj\nendmeshnode\n");
    ASSERT_TRUE(loader->loadScene("noglobal.sce"));
    EXPECT_EQ(scene->globalAngle, 30);
    EXPECT_EQ(scene->root->children.size(), 1u);
}

TEST_F(SceneLoaderTest, AFileThatCannotBeOpenedLeavesTheSceneAlone)
{
    SceneNode* node = place("Tree.obj");
    scene->select(instanceOf(node));
    scene->gizmo->setTarget(node);
    scene->setGlobalAngle(60);
    fs::create_directories(base / "scenes" / "folder.sce");

    // Nothing here can be a scene file, and none may block or fill memory.
    ASSERT_EQ(mkfifo((base / "scenes" / "fifo.sce").c_str(), 0644), 0);
    const std::string block = "meshnode\nfile tree.obj\nendmeshnode\n";
    writeScene("long.sce", block + std::string(maxSceneLineLength + 1, 'x') + "\n" + block);
    writeScene("nul.sce", block + std::string("global 45\0\n", 11) + block);
    const std::string scenes = loader->sceneDirectory;

    // A missing file, the scene folder itself (an empty name) and a folder.
    for (const char* name : {"absent.sce", "", "folder.sce", "fifo.sce", "long.sce", "nul.sce", "/dev/zero"}) {
        SCOPED_TRACE(name);
        loader->sceneDirectory = name[0] == '/' ? "" : scenes;
        EXPECT_FALSE(loader->loadScene(name));
        EXPECT_EQ(placed(), std::vector<SceneNode*>({node}));
        EXPECT_EQ(scene->selection, std::unordered_set<Renderable*>({instanceOf(node)}));
        EXPECT_EQ(scene->gizmo->target, node);
        EXPECT_EQ(scene->globalAngle, 60);
    }
    // A line of exactly the longest length is still read (and ignored).
    loader->sceneDirectory = scenes;
    writeScene("longest.sce", std::string(maxSceneLineLength, 'x') + "\n" + block + block);
    ASSERT_TRUE(loader->loadScene("longest.sce"));
    EXPECT_EQ(scene->root->children.size(), 2u);
}

TEST_F(SceneLoaderTest, PartsAssembleTheModelAndSurviveSaveAndLoad)
{
    std::ofstream(base / "models" / "Kit.obj") << "o lid\nv 0 0 5\nv 1 0 5\nv 0 1 5\nf 1 2 3\n"
                                                  "o base\nv 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nf 4 5 6 7\n";
    testing::internal::CaptureStdout();
    EXPECT_EQ(loader->placeParts("Kit.obj"), 2);
    Mesh* whole = loader->loadModel("kit.obj");
    EXPECT_EQ(loader->placeParts("kit.OBJ"), 2);
    EXPECT_EQ(count(testing::internal::GetCapturedStdout(), "Loaded model from"), 1) << "one import per file";

    // The parts' vertices are the whole model's, centred on the whole box.
    const auto nodes = placed();
    ASSERT_EQ(nodes.size(), 4u);
    const Mesh* lid = instanceOf(nodes[0])->mesh;
    const Mesh* base = instanceOf(nodes[1])->mesh;
    EXPECT_EQ(instanceOf(nodes[2])->mesh, lid) << "parts are cached like models";
    ASSERT_EQ(lid->vertexCount + base->vertexCount, whole->vertexCount);
    std::vector<float> joined = lid->positions;
    joined.insert(joined.end(), base->positions.begin(), base->positions.end());
    EXPECT_EQ(joined, whole->positions);
    EXPECT_EQ(lid->indexCount, 3);
    EXPECT_EQ(base->indexCount, 6);
    for (uint32_t i : base->indices)
        EXPECT_LT(i, uint32_t(base->vertexCount));

    // Each part keeps its own flags through a save and a load.
    instanceOf(nodes[1])->canCut = false;
    ASSERT_TRUE(loader->saveScene("kit.sce"));
    const std::string saved = readScene("kit.sce");
    EXPECT_EQ(count(saved, "\npart lid\n"), 2);
    EXPECT_EQ(count(saved, "\npart base\n"), 2);
    ASSERT_TRUE(loader->loadScene("kit.sce"));
    const auto back = placed();
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(instanceOf(back[0])->mesh, lid);
    EXPECT_EQ(instanceOf(back[1])->mesh, base);
    EXPECT_FALSE(instanceOf(back[1])->canCut);
    EXPECT_TRUE(instanceOf(back[0])->canCut);

    // A part the file no longer has is skipped with one line; a block
    // without a part line is the whole model.
    writeScene("gone.sce", "meshnode\nfile kit.obj\npart hinge\nendmeshnode\n"
                           "meshnode\nfile kit.obj\nendmeshnode\n");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(loader->loadScene("gone.sce"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING: model kit.obj has no part hinge; skipped\n");
    ASSERT_EQ(placed().size(), 1u);
    EXPECT_EQ(instanceOf(placed()[0])->mesh, whole);
}

// Parts of a file opened by its absolute path are saved under that path and
// cached under its exact spelling, like a whole model opened that way: two
// files whose paths differ only in case keep their own parts.
TEST_F(SceneLoaderTest, PartsOfFilesGivenByAbsolutePath)
{
    const fs::path elsewhere = base / "elsewhere";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "Kit.obj") << "o lid\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ofstream(elsewhere / "kit.obj") << "o lid\nv 0 0 0\nv 4 0 0\nv 4 4 0\nv 0 4 0\nf 1 2 3 4\n";
    const std::string upper = (elsewhere / "Kit.obj").string(), lower = (elsewhere / "kit.obj").string();
    testing::internal::CaptureStdout();
    EXPECT_EQ(loader->placeParts(upper), 1);
    EXPECT_EQ(loader->placeParts(lower), 1);
    testing::internal::GetCapturedStdout();
    const auto nodes = placed();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(instanceOf(nodes[0])->mesh->indexCount, 3);
    EXPECT_EQ(instanceOf(nodes[1])->mesh->indexCount, 6) << "the other file's part";

    ASSERT_TRUE(loader->saveScene("abs.sce"));
    const std::string saved = readScene("abs.sce");
    EXPECT_EQ(count(saved, "\nfile " + upper + "\npart lid\n"), 1) << saved;
    EXPECT_EQ(count(saved, "\nfile " + lower + "\npart lid\n"), 1) << saved;
}

TEST_F(SceneLoaderTest, PlacedObjectsAreFoundByPositionPartIdOrModelName)
{
    std::ofstream(base / "models" / "two.obj") << "o lid\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                                                  "o base\nv 0 0 1\nv 1 0 1\nv 0 1 1\nf 4 5 6\n";
    place("Tree.obj");
    quietModel("two.obj");
    ASSERT_EQ(loader->placeParts("two.obj"), 2);
    const std::vector<SceneNode*> nodes = placed();
    MeshInstance* lid = instanceOf(nodes[1]);
    EXPECT_EQ(placedName(*loader, *lid), "lid");
    EXPECT_EQ(placedName(*loader, *instanceOf(nodes[0])), "Tree.obj");

    std::string reason;
    EXPECT_EQ(findPlaced(*scene, *loader, "1", reason), std::vector<MeshInstance*>({lid}));
    EXPECT_EQ(findPlaced(*scene, *loader, "lid", reason), std::vector<MeshInstance*>({lid}));
    EXPECT_EQ(findPlaced(*scene, *loader, "two.obj", reason).size(), 2u) << "a model's name names all its parts";
    EXPECT_EQ(findPlaced(*scene, *loader, "Tree.obj", reason).size(), 1u);
    EXPECT_TRUE(reason.empty()) << reason;
    EXPECT_TRUE(findPlaced(*scene, *loader, "3", reason).empty());
    EXPECT_EQ(reason, "position 3 is out of range: the scene places 3 models");
    EXPECT_TRUE(findPlaced(*scene, *loader, "tree.obj", reason).empty()) << "names are compared as saved";
}
