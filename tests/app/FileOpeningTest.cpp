// Files opened from the command line and dropped on the window.
#include "app/FileOpening.h"
#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "support/AppHarness.h"
#include "text/CommandConsole.h"
#include "text/Text.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(FileOpening, KindsAndSavedNames)
{
    EXPECT_EQ(classifyFile("/x/a.SCE"), FileKind::Scene);
    EXPECT_EQ(classifyFile("duck.dae"), FileKind::Model);
    EXPECT_EQ(classifyFile("b.GLB"), FileKind::Model);
    EXPECT_EQ(classifyFile("notes.txt"), FileKind::Unknown);
    EXPECT_EQ(classifyFile("models"), FileKind::Unknown);

    const std::string cwd = fs::current_path().generic_string();
    EXPECT_EQ(modelNameForPath("models/sub/../box.obj", "models/"), "box.obj") << "inside: the plain name";
    EXPECT_EQ(modelNameForPath(cwd + "/models/a/b.obj", "models/"), "a/b.obj");
    EXPECT_EQ(modelNameForPath("/tmp/Duck.dae", "models/"), "/tmp/Duck.dae") << "outside: absolute, case kept";
    EXPECT_EQ(modelNameForPath("scenes/x.obj", "models/"), cwd + "/scenes/x.obj");
}

TEST(FileOpening, DroppedFilesOpenAndReportWhatFailed)
{
    const std::string models = makeTempDir() + "/", elsewhere = makeTempDir() + "/";
    writeBoxObj(models, "box", 2.0f, Vec3(0.8f, 0.8f, 0.7f));
    const std::string ball = writeSphereObj(elsewhere, "Ball", 3.0f, Vec3(0.9f, 0.2f, 0.2f));
    std::ofstream(elsewhere + "one.sce") << "global 50\nmeshnode\nfile box.obj\nt 5 0 0\nendmeshnode\n";
    std::ofstream(elsewhere + "junk.dae") << "this is not a model\n";
    std::ofstream(elsewhere + "notes.txt") << "hello\n";

    AppHarness h(elsewhere + "one.sce", 200, 200, models);
    ASSERT_TRUE(h.started());
    Scene& scene = *h.app().scene;
    ASSERT_EQ(scene.root->children.size(), 1u);

    // A scene replaces; models are added in order; failures are skipped with
    // a line each in the scroll-back.
    h.platform().dropFiles({elsewhere + "one.sce", elsewhere + ball, elsewhere + "notes.txt",
                            elsewhere + "missing.obj", elsewhere + "junk.dae", models + "box.obj"});
    h.frames(2);
    ASSERT_EQ(scene.root->children.size(), 3u);
    EXPECT_EQ(scene.globalAngle, 50.0f);
    EXPECT_GT(h.placed(1)->mesh->vertexCount, 0);
    EXPECT_EQ(h.placed(2)->mesh, h.placed(0)->mesh) << "the model folder's box is the scene's cached one";
    CommandConsole& console = *h.app().console;
    // What failed, then what was done, oldest first.
    ASSERT_EQ(console.history.size(), 6u);
    EXPECT_NE(console.history[5]->text.find("notes.txt: not a scene or model file"), std::string::npos);
    EXPECT_EQ(console.history[4]->text, "cannot read " + elsewhere + "missing.obj");
    EXPECT_EQ(console.history[3]->text, "cannot import " + elsewhere + "junk.dae");
    EXPECT_EQ(console.history[2]->text, "loaded one.sce");
    EXPECT_EQ(console.history[1]->text, "placed " + ball);
    EXPECT_EQ(console.history[0]->text, "placed box.obj");

    // Saved with a path that loads it again, from any working folder.
    h.app().sceneLoader->sceneDirectory = elsewhere;
    ASSERT_TRUE(h.app().sceneLoader->saveScene("saved.sce"));
    std::ifstream saved(elsewhere + "saved.sce");
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("file " + fs::weakly_canonical(elsewhere + ball).generic_string() + "\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("file box.obj\n"), std::string::npos) << text;
    SceneLoader fresh(&scene);
    fresh.modelDirectory = models;
    ASSERT_TRUE(fresh.loadSceneFile(elsewhere + "saved.sce"));
    ASSERT_EQ(scene.root->children.size(), 3u);
    EXPECT_GT(h.placed(1)->mesh->vertexCount, 0);
    scene.root->clearChildren(); // the fresh loader's meshes go with it

    // Models alone into an empty scene are framed: the ball fills the view.
    h.platform().dropFiles({elsewhere + ball});
    h.frames(2);
    const Camera& camera = *h.app().camera;
    EXPECT_NEAR(length(camera.target), 0.0f, 1e-3f);
    // Every vertex of the ball (radius 3) inside the view, the widest near its edge.
    float widest = 0.0f;
    const std::vector<float>& p = h.placed(0)->mesh->positions;
    for (size_t i = 0; i + 2 < p.size(); i += 3) {
        const Vec4 c = camera.viewProjection * Vec4(p[i], p[i + 1], p[i + 2], 1.0f);
        widest = std::max({widest, std::fabs(c.x / c.w), std::fabs(c.y / c.w)});
    }
    EXPECT_GT(widest, 0.8f);
    EXPECT_LE(widest, 1.0f);
    EXPECT_EQ(h.idAt(100, 100), h.placed(0)->id);
}

// A FIFO is refused by its kind without being opened (opening one waits for a
// writer, before the first frame); a model whose name a scene file cannot
// hold (a line break in it) is refused in one line instead of being saved as
// another name.
TEST(FileOpening, FifosAndNamesWithLineBreaksAreRefused)
{
    const std::string dir = makeTempDir() + "/";
    writeBoxObj(dir, "box", 1.0f, Vec3(0.8f, 0.8f, 0.7f));
    ASSERT_EQ(mkfifo((dir + "pipe.sce").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir + "pipe.obj").c_str(), 0600), 0);
    for (const char* odd : {"with\nline.obj", "ends.obj\r"})
        fs::copy_file(dir + "box.obj", dir + odd);
    std::ofstream(dir + "empty.sce") << "global 30\n";

    AppHarness h(dir + "empty.sce", 200, 200, dir);
    ASSERT_TRUE(h.started());
    alarm(120); // before the mend this waited for ever: end the run instead
    h.platform().dropFiles({dir + "pipe.sce", dir + "pipe.obj", dir + "with\nline.obj", dir + "ends.obj\r"});
    h.frames(2);
    alarm(0);
    EXPECT_TRUE(h.app().scene->root->children.empty());
    const std::string refusal = ": a name with a line break cannot be saved in a scene file";
    std::vector<std::string> shown;
    for (const auto& line : h.app().console->history)
        shown.insert(shown.begin(), line->text);
    EXPECT_EQ(shown, (std::vector<std::string>{"cannot read " + dir + "pipe.sce: it is a FIFO",
                                               "cannot read " + dir + "pipe.obj: it is a FIFO",
                                               "cannot open " + dir + "with\\nline.obj" + refusal,
                                               "cannot open " + dir + "ends.obj\\r" + refusal}));
}
