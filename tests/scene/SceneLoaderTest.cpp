// The model cache and scene files as the loader applies them to a scene.
#include "geometry/Mesh.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/PlacedNames.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneFile.h"
#include "scene/SceneNode.h"
#include "scene/SceneTestSupport.h"
#include "scene/Transform.h"
#include "support/GLTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* triangleObj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
const char* quadObj = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class SceneLoaderTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        base = fs::path(testing::TempDir()) / ("torv-loader-" + std::to_string(getpid()));
        fs::remove_all(base);
        fs::create_directories(base / "models");
        fs::create_directories(base / "scenes");
        std::ofstream(base / "models" / "Tree.obj") << triangleObj;
        std::ofstream(base / "models" / "box.obj") << quadObj;
        scene = std::make_unique<Scene>();
        loader = std::make_unique<SceneLoader>(scene.get());
        loader->modelDirectory = (base / "models").string() + "/";
        loader->sceneDirectory = (base / "scenes").string() + "/";
    }

    void TearDown() override
    {
        // Meshes go while the context still lives.
        scene.reset();
        loader.reset();
        fs::remove_all(base);
        GLTest::TearDown();
    }

    // Loads a model without letting the importer's lines reach the log.
    Mesh* quietModel(const std::string& name)
    {
        testing::internal::CaptureStdout();
        Mesh* m = loader->loadModel(name);
        testing::internal::GetCapturedStdout();
        return m;
    }

    SceneNode* place(const std::string& name) { return loader->createInstance(quietModel(name)); }

    void writeScene(const std::string& name, const std::string& text)
    {
        std::ofstream(base / "scenes" / name) << text;
    }

    std::string readScene(const std::string& name)
    {
        std::ostringstream s;
        s << std::ifstream(base / "scenes" / name).rdbuf();
        return s.str();
    }

    std::vector<SceneNode*> placed() const
    {
        return {scene->root->children.begin(), scene->root->children.end()};
    }

    static MeshInstance* instanceOf(SceneNode* node)
    {
        return dynamic_cast<MeshInstance*>(node->attachments.front());
    }

    fs::path base;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> loader;
};

}  // namespace

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

TEST_F(SceneLoaderTest, SceneModelsAreFoundBesideTheSceneFile)
{
    // One model in the scene's own folder, one in models/ beside that folder,
    // one in the working models/ that wins over a copy beside the scene.
    const fs::path elsewhere = base / "elsewhere";
    fs::create_directories(elsewhere / "scenes");
    fs::create_directories(elsewhere / "models");
    std::ofstream(elsewhere / "scenes" / "near.obj") << triangleObj;
    std::ofstream(elsewhere / "models" / "far.obj") << quadObj;
    std::ofstream(elsewhere / "models" / "box.obj") << triangleObj;
    std::ofstream(elsewhere / "scenes" / "a.sce")
        << "meshnode\nfile near.obj\nendmeshnode\nmeshnode\nfile far.obj\nendmeshnode\n"
           "meshnode\nfile box.obj\nendmeshnode\n";
    loader->sceneDirectory = (elsewhere / "scenes").string() + "/";

    testing::internal::CaptureStdout();
    ASSERT_TRUE(loader->loadScene("a.sce"));
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(scene->root->children.size(), 3u) << out;
    const std::vector<SceneNode*> nodes = placed();
    EXPECT_EQ(instanceOf(nodes[0])->mesh->indexCount, 3) << out;
    EXPECT_EQ(instanceOf(nodes[1])->mesh->indexCount, 6) << out;
    EXPECT_EQ(instanceOf(nodes[2])->mesh->indexCount, 6) << out;

    // Outside a scene load the scene's folders are not searched.
    EXPECT_FALSE(quietModel("other.obj")->uploaded);
    std::ofstream(elsewhere / "scenes" / "late.obj") << triangleObj;
    EXPECT_FALSE(quietModel("late.obj")->uploaded);
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

TEST_F(SceneLoaderTest, ATypedModelNameIsAlsoFoundFromTheWorkingFolder)
{
    const fs::path work = base / "work";
    fs::create_directories(work / "sub");
    std::ofstream(work / "sub" / "My Part.obj") << triangleObj;
    const fs::path before = fs::current_path();
    fs::current_path(work);
    EXPECT_EQ(loader->resolveModelName("sub/My Part.obj"), (work / "sub" / "My Part.obj").generic_string())
        << "saved by its absolute path";
    EXPECT_EQ(loader->resolveModelName("Tree.obj"), "Tree.obj") << "models/ comes first";
    EXPECT_EQ(loader->resolveModelName("absent.obj"), "absent.obj");
    EXPECT_TRUE(quietModel(loader->resolveModelName("sub/My Part.obj"))->uploaded);
    fs::current_path(before);
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
