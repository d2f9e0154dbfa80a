// Undo and redo in the running application: the keys, the steps that
// commands, Delete and drags make, and what a step brings back.
#include "interaction/Gizmo.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "scene/UndoHistory.h"
#include "support/AppHarness.h"
#include "text/CommandConsole.h"

#include <filesystem>
#include <fstream>

namespace {

class Undo : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir();
        writeBoxObj(dir, "box", 2.0f, Vec3(0.8f, 0.8f, 0.7f));
        std::ofstream(dir + "/pair.sce") << "meshnode\nfile box.obj\nt -10 0 10\nendmeshnode\n"
                                            "meshnode\nfile box.obj\nt 15 -5 -10\nendmeshnode\n";
        h = std::make_unique<AppHarness>(dir + "/pair.sce", 400, 400, dir + "/");
        ASSERT_TRUE(h->started());
        h->frames(2);
    }
    void TearDown() override
    {
        h.reset();
        std::filesystem::remove_all(dir);
    }

    Scene& scene() { return *h->app().scene; }
    UndoHistory& history() { return *h->app().undoHistory; }
    size_t placedCount() { return scene().root->children.size(); }
    SRTTransform* srt(int i) { return h->placed(i)->node->srt(); }
    void ctrl(int key, bool shift = false)
    {
        h->platform().pressKey(GLFW_KEY_LEFT_CONTROL);
        if (shift)
            h->platform().pressKey(GLFW_KEY_LEFT_SHIFT);
        h->tapKey(key);
        h->platform().releaseKey(GLFW_KEY_LEFT_CONTROL);
        if (shift)
            h->platform().releaseKey(GLFW_KEY_LEFT_SHIFT);
        h->frames(1);
    }
    void command(const std::string& line)
    {
        h->tapKey(GLFW_KEY_TAB);
        h->type(line);
        h->tapKey(GLFW_KEY_ENTER);
        h->tapKey(GLFW_KEY_TAB);
    }
    void selectPlaced(int i)
    {
        int x = 0, y = 0;
        h->projectPlaced(i, x, y);
        h->click(x, y);
        ASSERT_EQ(scene().selection.count(h->placed(i)), 1u);
    }

    std::string dir;
    std::unique_ptr<AppHarness> h;
};

} // namespace

TEST_F(Undo, DeleteDragAndCommandsAreStepsTakenBackInOrder)
{
    selectPlaced(0);
    const Mesh* mesh = h->placed(0)->mesh;
    const size_t stepsBefore = history().undoSteps();
    EXPECT_EQ(stepsBefore, 0u) << "selecting is not a step";

    // A scale drag over several frames is one step.
    scene().editMode = true;
    h->frames(1);
    int x = 0, y = 0;
    h->projectPlaced(0, x, y);
    h->drag(x, y, x + 100, y, GLFW_MOUSE_BUTTON_LEFT, 4);
    ASSERT_FLOAT_EQ(srt(0)->scale, 2.0f);
    EXPECT_EQ(history().undoSteps(), 1u);

    command("cancut off");
    command("local 20");
    command("lines ghost");
    EXPECT_EQ(history().undoSteps(), 4u);
    h->tapKey(GLFW_KEY_DELETE);
    ASSERT_EQ(placedCount(), 1u);

    ctrl(GLFW_KEY_Z);
    ASSERT_EQ(placedCount(), 2u);
    MeshInstance* back = h->placed(0);
    EXPECT_EQ(back->mesh, mesh) << "from the cache";
    EXPECT_FALSE(back->canCut);
    EXPECT_EQ(back->localAngle, 20.0f);
    EXPECT_FLOAT_EQ(srt(0)->scale, 2.0f);
    EXPECT_FLOAT_EQ(srt(0)->translation.x, -10.0f);
    EXPECT_EQ(scene().objects.count(back), 1u) << "a restored object is an unselected one";

    // The console's keys reach the history too.
    h->tapKey(GLFW_KEY_TAB);
    ctrl(GLFW_KEY_Z);
    h->tapKey(GLFW_KEY_TAB);
    EXPECT_EQ(scene().lineMode, LineMode::Off);
    ctrl(GLFW_KEY_Z);
    ctrl(GLFW_KEY_Z);
    EXPECT_TRUE(h->placed(0)->canCut);
    EXPECT_EQ(h->placed(0)->localAngle, -1.0f);
    ctrl(GLFW_KEY_Z);
    EXPECT_FLOAT_EQ(srt(0)->scale, 1.0f);
    EXPECT_FALSE(history().undo()) << "back at the start";

    // Redo, both ways, up to the deletion again.
    ctrl(GLFW_KEY_Z, true);
    EXPECT_FLOAT_EQ(srt(0)->scale, 2.0f);
    ctrl(GLFW_KEY_Y);
    ctrl(GLFW_KEY_Y);
    ctrl(GLFW_KEY_Z, true);
    EXPECT_EQ(scene().lineMode, LineMode::Ghost);
    ctrl(GLFW_KEY_Z, true);
    EXPECT_EQ(placedCount(), 1u);
    EXPECT_FALSE(history().redo());

    // A new change drops what could have been redone.
    ctrl(GLFW_KEY_Z);
    command("ghost 1");
    EXPECT_EQ(history().redoSteps(), 0u);
}

TEST_F(Undo, KeepsSelectionNeverReadsFilesAndGoesBackFarEnough)
{
    selectPlaced(1);
    MeshInstance* second = h->placed(1);
    command("canbecut off");
    ctrl(GLFW_KEY_Z);
    EXPECT_TRUE(second->canBeCut);
    EXPECT_EQ(scene().selection.count(second), 1u) << "the same object, still selected";

    // Loading, adding and removing models with the file gone from disk.
    CommandConsole& console = *h->app().console;
    std::filesystem::remove(dir + "/box.obj");
    console.executeCommand("model box.obj");
    history().observe();
    console.executeCommand("loadscene missing.sce");
    history().observe();
    EXPECT_EQ(placedCount(), 3u);
    ASSERT_TRUE(history().undo());
    EXPECT_EQ(placedCount(), 2u);
    for (int i = 0; i < 2; ++i)
        EXPECT_GT(h->placed(i)->mesh->vertexCount, 0) << i;

    const float angle = scene().globalAngle;
    for (int i = 0; i < 150; ++i) {
        console.executeCommand("global " + std::to_string(i % 50));
        history().observe();
    }
    for (int i = 0; i < 150; ++i)
        ASSERT_TRUE(history().undo()) << i;
    EXPECT_EQ(scene().globalAngle, angle);
    h->frames(1);
}
