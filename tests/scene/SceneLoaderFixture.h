#pragma once
// The fixture of the scene loader tests: a loader over a folder of its own
// with models/Tree.obj and models/box.obj, and a scene to fill.
#include "geometry/Mesh.h"
#include "base/DataPaths.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/RecoveryFile.h"
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

inline const char* triangleObj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
inline const char* quadObj = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";

inline int count(const std::string& text, const std::string& what)
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
        base = std::filesystem::path(testing::TempDir()) / ("torv-loader-" + std::to_string(getpid()));
        std::filesystem::remove_all(base);
        std::filesystem::create_directories(base / "models");
        std::filesystem::create_directories(base / "scenes");
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
        std::filesystem::remove_all(base);
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

    std::filesystem::path base;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> loader;
};
