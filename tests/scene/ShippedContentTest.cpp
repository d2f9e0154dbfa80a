// Every shipped scene loads its models without an import error and places
// every block it lists.
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneFile.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "support/GLTestSupport.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>

namespace {

class ShippedContent : public GLTest {};

std::vector<std::string> shippedScenes()
{
    std::vector<std::string> names;
    if (DIR* d = opendir("scenes")) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".sce") == 0)
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(ShippedContent, EveryShippedSceneLoadsCleanly)
{
    std::vector<std::string> names = shippedScenes();
    ASSERT_GE(names.size(), 3u) << "the start scene and at least two more";
    EXPECT_NE(std::find(names.begin(), names.end(), "s_test.sce"), names.end());

    Scene scene;
    SceneLoader loader(&scene);
    for (const std::string& name : names) {
        std::ifstream in("scenes/" + name);
        size_t blocks = parseSceneText(in).placements.size();
        testing::internal::CaptureStdout();
        ASSERT_TRUE(loader.loadScene(name));
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("Error while loading"), std::string::npos) << name << ":\n" << out;
        EXPECT_EQ(out.find("WARNING"), std::string::npos) << name << ":\n" << out;
        ASSERT_GT(blocks, 0u) << name;
        EXPECT_EQ(scene.root->children.size(), blocks) << name;
        EXPECT_EQ(scene.objects.size(), blocks) << name;
        for (SceneNode* node : scene.root->children) {
            ASSERT_EQ(node->attachments.size(), 1u);
            auto* instance = dynamic_cast<MeshInstance*>(node->attachments.front());
            ASSERT_NE(instance, nullptr);
            ASSERT_NE(instance->mesh, nullptr);
            EXPECT_TRUE(instance->mesh->uploaded) << name << ": " << loader.namesByModel[instance->mesh];
            EXPECT_GT(instance->mesh->vertexCount, 0) << name << ": " << loader.namesByModel[instance->mesh];
            EXPECT_EQ(instance->mesh->colors.size(), instance->mesh->positions.size())
                << "colours come from the model files";
        }
    }
}
