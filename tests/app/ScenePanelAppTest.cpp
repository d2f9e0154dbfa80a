// The scene panel in the running application: F1 shows it over the picture,
// and what the pointer or the keys do over it stays with it.
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "support/AppHarness.h"
#include "support/TestScenes.h"
#include "text/CommandConsole.h"
#include "ui/ScenePanel.h"

#include <fstream>

namespace {

class PanelApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<AppHarness>(testScenes().box, 800, 800, testScenes().dir, true);
        ASSERT_TRUE(h->started());
        ASSERT_TRUE(h->app().panel);
        h->project(Vec3(0, 0, 8), boxX, boxY);
        h->project(Vec3(20, 0, 2), sideX, sideY);
        h->frames(1);
        ASSERT_GT(sideX, 800 - int(ScenePanel::width)) << "the side cube lies under the panel";
        ASSERT_EQ(h->idAt(sideX, sideY), h->placed(2)->id);
    }
    Scene& scene() { return *h->app().scene; }
    bool selected(int i) { return scene().selection.count(h->placed(i)) == 1; }

    std::unique_ptr<AppHarness> h;
    int boxX = 0, boxY = 0, sideX = 0, sideY = 0;
};

} // namespace

TEST_F(PanelApp, HiddenAtAPlainStartAndF1ShowsItOverThePicture)
{
    EXPECT_FALSE(h->app().panel->shown);
    const Rgba before = h->pixel(sideX, sideY);
    const Rgba boxBefore = h->pixel(boxX, boxY);
    h->tapKey(GLFW_KEY_F1);
    h->frames(1);
    EXPECT_TRUE(h->app().panel->shown);
    const Rgba over = h->pixel(sideX, sideY);
    EXPECT_NE(over.r + over.g * 256 + over.b * 65536, before.r + before.g * 256 + before.b * 65536)
        << "the panel covers the cube";
    const Rgba boxAfter = h->pixel(boxX, boxY);
    EXPECT_EQ(boxAfter.r + boxAfter.g * 256 + boxAfter.b * 65536,
              boxBefore.r + boxBefore.g * 256 + boxBefore.b * 65536) << "the picture beside it is untouched";
    h->tapKey(GLFW_KEY_F1);
    h->frames(1);
    const Rgba back = h->pixel(sideX, sideY);
    EXPECT_EQ(back.r + back.g * 256 + back.b * 65536, before.r + before.g * 256 + before.b * 65536);

    // A file's parts are laid out under it (rows of a tree inside a table).
    const std::string engine = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
    if (std::ifstream(engine).good()) {
        h->tapKey(GLFW_KEY_F1);
        h->app().console->executeCommand("parts " + engine);
        h->frames(2);
        EXPECT_GT(scene().root->children.size(), 60u);
    }
}

TEST_F(PanelApp, ClicksWheelAndKeysOverThePanelStayWithIt)
{
    h->tapKey(GLFW_KEY_F1);
    h->click(boxX, boxY);
    ASSERT_TRUE(selected(0)) << "the picture beside the panel still takes clicks";

    h->click(sideX, sideY);
    EXPECT_TRUE(selected(0)) << "a click on the panel is not a click on the background";
    EXPECT_FALSE(selected(2)) << "nor on the cube under it";

    const Vec3 eye = h->app().camera->eye;
    h->platform().setCursor(sideX, sideY);
    h->platform().scroll(3);
    h->frames(2);
    EXPECT_EQ(h->app().camera->eye.z, eye.z) << "the wheel over the panel zooms nothing";

    h->tapKey(GLFW_KEY_DELETE);
    h->frames(1);
    EXPECT_EQ(scene().root->children.size(), 3u) << "Delete over the panel deletes nothing";

    h->tapKey(GLFW_KEY_F1); // hidden: the same click reaches the cube
    h->click(sideX, sideY);
    EXPECT_TRUE(selected(2));
    EXPECT_FALSE(selected(0));
}
