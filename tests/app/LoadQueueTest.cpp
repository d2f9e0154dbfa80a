// Loads that let the frame loop go on: what they place, say and frame.
#include "app/LoadQueue.h"
#include "geometry/ImportProcess.h"
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/SceneView.h"
#include "support/GLTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class LoadQueueTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        dir = fs::path(testing::TempDir()) / ("torv-queue-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "two.obj") << "o lid\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                                          "o base\nv 0 0 1\nv 1 0 1\nv 0 1 1\nf 4 5 6\n";
        scene = std::make_unique<Scene>();
        loader = std::make_unique<SceneLoader>(scene.get());
        loader->modelDirectory = (dir / "models").string() + "/";
        makeQueue();
    }
    void makeQueue()
    {
        queue = std::make_unique<LoadQueue>(*loader);
        queue->report = [this](const std::string& line) { said.push_back(line); };
        queue->echo = [this](const std::string& line) { said.push_back("shown: " + line); };
        queue->frameAll = [this] { ++framed; };
        queue->sceneLoaded = [this](const SceneView& view, bool frame) {
            sceneCamera = view.hasCamera;
            sceneFrame = frame;
        };
    }
    void TearDown() override
    {
        queue.reset();
        scene.reset();
        loader.reset();
        fs::remove_all(dir);
        GLTest::TearDown();
    }
    void finish()
    {
        testing::internal::CaptureStdout();
        while (queue->busy()) {
            queue->poll();
            usleep(2000);
        }
        testing::internal::GetCapturedStdout();
    }

    fs::path dir;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> loader;
    std::unique_ptr<LoadQueue> queue;
    std::vector<std::string> said;
    int framed = 0;
    bool sceneCamera = false, sceneFrame = false;
};

} // namespace

TEST_F(LoadQueueTest, OpenedModelsArePlacedInPartsOrWholeAndFramedInAnEmptyScene)
{
    const std::string file = (dir / "two.obj").string();
    queue->openFiles({file}, false);
    EXPECT_TRUE(queue->busy()) << "the import runs in the background";
    EXPECT_EQ(queue->progressLine().rfind("loading two.obj  ", 0), 0u) << queue->progressLine();
    finish();
    EXPECT_EQ(scene->root->children.size(), 2u);
    EXPECT_EQ(said, std::vector<std::string>({"placed 2 parts of two.obj"}));
    EXPECT_EQ(framed, 1);
    EXPECT_EQ(queue->progressLine(), "");

    // Cached now: placed at once, as one object; not framed into a full scene.
    said.clear();
    queue->openFiles({file}, true);
    EXPECT_FALSE(queue->busy());
    EXPECT_EQ(scene->root->children.size(), 3u);
    EXPECT_EQ(said, std::vector<std::string>({"placed two.obj"}));
    EXPECT_EQ(framed, 1);

    // A scene file is loaded after its models; one without a camera is
    // framed unless it came at start-up.
    std::ofstream(dir / "a.sce") << "meshnode\nfile " << (dir / "late.obj").string() << "\nendmeshnode\n";
    fs::copy_file(dir / "two.obj", dir / "late.obj");
    said.clear();
    queue->openFiles({(dir / "a.sce").string(), (dir / "missing.obj").string()}, false);
    EXPECT_EQ(said, std::vector<std::string>({"cannot read " + (dir / "missing.obj").string()}));
    EXPECT_TRUE(queue->busy());
    finish();
    EXPECT_EQ(scene->root->children.size(), 1u);
    EXPECT_TRUE(dynamic_cast<MeshInstance*>(scene->root->children.front()->attachments.front())->mesh->uploaded);
    EXPECT_FALSE(sceneCamera);
    EXPECT_TRUE(sceneFrame);
    EXPECT_EQ(framed, 1) << "a scene is framed through sceneLoaded, not as models";
}

TEST_F(LoadQueueTest, ASlowImportCanBeCancelledAndPlacesNothing)
{
    // An import that never ends, as a huge file's may seem to.
    std::ofstream(dir / "stuck.obj") << "v 0 0 0\n";
    const auto read = queue->importWork;
    queue->importWork = [read](const std::string& file) -> ImportResult {
        for (;;)
            if (file.find("stuck") != std::string::npos)
                pause();
            else
                return read(file);
    };
    queue->addModel((dir / "stuck.obj").string(), LoadQueue::Placement::Whole);
    queue->addModel((dir / "two.obj").string(), LoadQueue::Placement::Parts);
    for (int i = 0; i < 20; ++i)
        queue->poll();
    EXPECT_TRUE(queue->busy());
    queue->cancel();
    EXPECT_FALSE(queue->busy());
    EXPECT_TRUE(scene->root->children.empty()) << "the waiting request went too";
    EXPECT_EQ(said, std::vector<std::string>({"cancelled loading stuck.obj"}));
    EXPECT_FALSE(loader->isModelCached((dir / "stuck.obj").string())) << "a later try reads it again";
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no import child is left running";
}

TEST_F(LoadQueueTest, FilesOfOneLoadImportSideBySideAndReportInTheirOrder)
{
    setenv("TORV_IMPORT_CHILDREN", "3", 1);
    makeQueue();
    unsetenv("TORV_IMPORT_CHILDREN");
    std::ofstream(dir / "stuck.obj") << "v 0 0 0\n";
    fs::copy_file(dir / "two.obj", dir / "one.obj");
    const auto read = queue->importWork;
    queue->importWork = [read](const std::string& file) -> ImportResult {
        while (file.find("stuck") != std::string::npos)
            pause();
        return read(file);
    };
    queue->timeoutSeconds = 2;
    const std::string stuck = (dir / "stuck.obj").string();
    queue->openFiles({stuck, (dir / "two.obj").string(), stuck, (dir / "one.obj").string()}, false);
    finish();
    // The hang costs the load's time, but the files beside it are read.
    // The hang costs the load's time, but the files beside it are read; the
    // file named twice is imported (and its failure told in full) once.
    ASSERT_EQ(said.size(), 6u) << testing::PrintToString(said);
    EXPECT_EQ(said[0], "shown: Error while loading Collada file: ");
    EXPECT_EQ(said[1].rfind("shown: the import took longer than ", 0), 0u) << said[1];
    EXPECT_EQ(said[2], "cannot import " + stuck);
    EXPECT_EQ(said[3], "placed 2 parts of two.obj");
    EXPECT_EQ(said[4], said[2]);
    EXPECT_EQ(said[5], "placed 2 parts of one.obj");
}

TEST_F(LoadQueueTest, FilesOpenedAtStartAreNoUnsavedWorkUnlessSomethingWasUnsavedBefore)
{
    const std::string file = (dir / "two.obj").string();
    loader->savedText = loader->sceneText();
    queue->openFiles({file}, false, true);
    finish();
    ASSERT_EQ(scene->root->children.size(), 2u);
    EXPECT_EQ(loader->sceneText(), loader->savedText) << "quitting now would write a recovery file";

    // Opened later, or onto a change not yet saved, they are unsaved work.
    queue->openFiles({file}, true);
    EXPECT_NE(loader->sceneText(), loader->savedText);
    const std::string unsaved = loader->savedText;
    queue->openFiles({file}, true, true);
    EXPECT_EQ(loader->savedText, unsaved);
}
