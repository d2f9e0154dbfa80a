// Where the loader looks for models and writes scenes: beside the scene file,
// the working folder, the data folder it spares, and the recovery file.
#include "scene/SceneLoaderFixture.h"

namespace fs = std::filesystem;

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

// Relative names are saved into the working folder (its scenes/ when it has
// one), never into the data folder, whose files are never replaced.
TEST_F(SceneLoaderTest, SavesGoToTheWorkingFolderAndSpareTheDataFolder)
{
    const fs::path data = base / "share", work = base / "work";
    fs::create_directories(data / "shaders");
    fs::create_directories(data / "scenes");
    fs::create_directories(work);
    std::ofstream(data / "scenes" / "start.sce") << "global 45\n";
    const fs::path home = fs::current_path();
    setDataRootForTesting(data.string());
    ASSERT_EQ(chdir(work.c_str()), 0);
    loader->sceneDirectory = "scenes/";
    place("Tree.obj");

    EXPECT_EQ(loader->saveFolder(), "");
    ASSERT_TRUE(loader->saveScene("start.sce"));
    EXPECT_TRUE(fs::exists(work / "start.sce"));
    ASSERT_TRUE(loader->loadScene("start.sce"));
    EXPECT_EQ(scene->root->children.size(), 1u) << "the working folder's copy is read back";
    fs::create_directories(work / "scenes");
    ASSERT_TRUE(loader->saveScene("start.sce"));
    EXPECT_TRUE(fs::exists(work / "scenes" / "start.sce"));
    // The shipped file, by path or through a link, stays as it was.
    EXPECT_FALSE(loader->saveScene((data / "scenes" / "start.sce").string()));
    fs::create_symlink(data / "scenes" / "start.sce", work / "link.sce");
    loader->sceneDirectory = "";
    EXPECT_FALSE(loader->saveScene("link.sce"));
    std::ifstream shipped(data / "scenes" / "start.sce");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(shipped), {}), "global 45\n");

    ASSERT_EQ(chdir(home.c_str()), 0);
    setDataRootForTesting("");
}

// Unsaved changes go to the state folder when the program ends, and only those.
TEST_F(SceneLoaderTest, OnlyUnsavedChangesAreWrittenToTheRecoveryFile)
{
    const fs::path state = base / "state";
    const char* old = std::getenv("XDG_STATE_HOME");
    const std::string oldState = old ? old : "";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    std::string reason;

    place("Tree.obj");
    loader->savedText = loader->sceneText(); // the scene the program opened with
    EXPECT_EQ(writeRecoveryIfUnsaved(*loader, reason), "");
    EXPECT_FALSE(fs::exists(state));

    place("box.obj");
    const std::string written = writeRecoveryIfUnsaved(*loader, reason);
    EXPECT_EQ(written, (state / "torv" / "recovery.sce").string()) << reason;
    scene->root->clearChildren();
    ASSERT_TRUE(loader->loadSceneFile(written));
    EXPECT_EQ(scene->root->children.size(), 2u);
    fs::remove(written);

    place("box.obj");
    ASSERT_TRUE(loader->saveScene("kept.sce"));
    EXPECT_EQ(writeRecoveryIfUnsaved(*loader, reason), "") << "the last thing done was a save";
    EXPECT_FALSE(fs::exists(written));

    if (old)
        setenv("XDG_STATE_HOME", oldState.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
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
