// A scene file's models imported side by side: the scene, and what the load
// prints, are those of one import after another.
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/GLTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SceneImportsTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        base = fs::path(testing::TempDir()) / ("torv-imports-" + std::to_string(getpid()));
        fs::remove_all(base);
        fs::create_directories(base);
        // The first model takes longest to read, so side by side it tends to
        // finish last.
        std::ofstream big(base / "big.obj");
        const int n = 150;
        for (int y = 0; y <= n; ++y)
            for (int x = 0; x <= n; ++x)
                big << "v " << x << ' ' << y << " 0\n";
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int a = y * (n + 1) + x + 1;
                big << "f " << a << ' ' << a + 1 << ' ' << a + n + 2 << ' ' << a + n + 1 << '\n';
            }
        std::ofstream(base / "tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
        std::ofstream(base / "bad.ply"); // empty: the importer refuses it
        std::ofstream scene(base / "many.sce");
        scene << "global 30\n";
        int x = 0;
        for (const std::string block : {"file big.obj", "file bad.ply", "file tri.obj\npart nothing", "file TRI.obj",
                                         "file missing.obj", "file tri.obj", "file big.obj"})
            scene << "meshnode\n" << block << "\nt " << x++ << " 0 0\nendmeshnode\n";
    }
    void TearDown() override
    {
        fs::remove_all(base);
        GLTest::TearDown();
    }

    // The placed objects (model name, vertices, position) and the printed
    // lines of one load, with `children` imports at a time.
    std::pair<std::string, std::string> load(const char* children)
    {
        setenv("TORV_IMPORT_CHILDREN", children, 1);
        Scene scene;
        SceneLoader loader(&scene);
        loader.modelDirectory = (base / "models").string() + "/";
        testing::internal::CaptureStdout();
        EXPECT_TRUE(loader.loadSceneFile((base / "many.sce").string()));
        const std::string printed = testing::internal::GetCapturedStdout();
        unsetenv("TORV_IMPORT_CHILDREN");
        std::ostringstream objects;
        for (SceneNode* node : scene.root->children) {
            const Mesh* mesh = dynamic_cast<MeshInstance*>(node->attachments.front())->mesh;
            objects << loader.namesByModel.at(mesh) << ' ' << mesh->vertexCount << ' ' << node->srt()->translation.x
                    << '\n';
        }
        scene.root->clearChildren();
        return {objects.str(), printed};
    }

    fs::path base;
};

} // namespace

TEST_F(SceneImportsTest, SideBySideGivesTheObjectsAndLinesOfOneAfterAnother)
{
    const auto serial = load("1");
    const auto sideBySide = load("4");
    EXPECT_EQ(sideBySide.first, serial.first);
    EXPECT_EQ(sideBySide.second, serial.second);

    // In the file's order: each file's lines where its first block stands,
    // failures in their two lines, a name in other case sharing the import.
    const std::string& out = sideBySide.second;
    const size_t big = out.find("Loaded model from " + (base / "big.obj").string());
    const size_t bad = out.find("Error while loading Collada file: \n", big);
    const size_t tri = out.find("Loaded model from " + (base / "tri.obj").string(), bad);
    const size_t part = out.find("has no part nothing; skipped", tri);
    const size_t missing = out.find("Error while loading Collada file: \n", part);
    EXPECT_NE(missing, std::string::npos) << out;
    EXPECT_EQ(out.find("Loaded model from", tri + 1), std::string::npos) << "each file read once:\n" << out;
    const int vertices = 151 * 151;
    EXPECT_EQ(sideBySide.first, "big.obj " + std::to_string(vertices) + " 0\nbad.ply -1 1\ntri.obj 3 3\n"
                                "missing.obj -1 4\ntri.obj 3 5\nbig.obj " + std::to_string(vertices) + " 6\n");
}
