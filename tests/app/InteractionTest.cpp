// The application driven by scripted mouse and keys, as a person would: each
// action goes through the platform's input and the frame loop.
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "math/MathExpect.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "support/AppHarness.h"
#include "support/TestScenes.h"

#include <algorithm>
#include <cmath>

namespace {

class Interaction : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<AppHarness>(testScenes().box, 800, 800, testScenes().dir);
        ASSERT_TRUE(h->started());
        box = h->placed(0);
        side = h->placed(2);
        ASSERT_TRUE(box && side);
        h->project(Vec3(0, 0, 8), boxX, boxY);
        h->project(Vec3(20, 0, 2), sideX, sideY);
        h->frames(1);
        ASSERT_EQ(h->idAt(boxX, boxY), box->id);
        ASSERT_EQ(h->idAt(sideX, sideY), side->id);
    }

    TorvWindow& app() { return h->app(); }
    Scene& scene() { return *h->app().scene; }
    bool selected(MeshInstance* m) { return scene().selection.count(m) == 1; }
    Vec3 target() { return app().camera->target; }
    Vec3 offset() { return app().camera->eye - app().cameraController->pivot; }
    void tapTogether(int a, int b)
    {
        h->platform().pressKey(a);
        h->platform().pressKey(b);
        h->frames(1);
        h->platform().releaseKey(a);
        h->platform().releaseKey(b);
        h->frames(1);
    }

    std::unique_ptr<AppHarness> h;
    MeshInstance* box = nullptr;
    MeshInstance* side = nullptr;
    int boxX = 0, boxY = 0, sideX = 0, sideY = 0;
    static constexpr int background = 5;
};

} // namespace

TEST_F(Interaction, ClicksSelectAddAndClear)
{
    h->click(boxX, boxY);
    EXPECT_TRUE(selected(box));
    EXPECT_EQ(scene().selection.size(), 1u);
    EXPECT_TRUE(scene().gizmo->active);
    EXPECT_EQ(scene().gizmo->target, box->node);

    h->click(sideX, sideY);
    EXPECT_TRUE(selected(side));
    EXPECT_FALSE(selected(box)) << "a plain click replaces the selection";
    EXPECT_EQ(scene().gizmo->target, side->node);

    h->click(boxX, boxY, GLFW_MOUSE_BUTTON_LEFT, true);
    EXPECT_TRUE(selected(side));
    EXPECT_TRUE(selected(box)) << "shift adds";

    h->click(background, background);
    EXPECT_TRUE(scene().selection.empty());
    EXPECT_EQ(scene().objects.size(), 3u);
    EXPECT_FALSE(scene().gizmo->active);
    EXPECT_EQ(scene().gizmo->target, nullptr);
}

TEST_F(Interaction, FocusKeys)
{
    const Vec3 eye = app().camera->eye;
    h->click(sideX, sideY);
    h->tapKey('F');
    expectVecNear(target(), Vec3(20, 0, 0));
    expectVecNear(app().cameraController->pivot, Vec3(20, 0, 0));
    expectVecNear(app().camera->eye, eye); // focus turns the camera, it does not move it

    h->tapKey('C');
    expectVecNear(target(), Vec3(0, 0, 0));

    // F and C together: F wins while something is selected ...
    tapTogether('F', 'C');
    expectVecNear(target(), Vec3(20, 0, 0));
    // ... and with nothing selected F falls through to the C test: alone it
    // does nothing, with C it centres.
    h->click(background, background);
    ASSERT_TRUE(scene().selection.empty());
    h->tapKey('F');
    expectVecNear(target(), Vec3(20, 0, 0));
    tapTogether('F', 'C');
    expectVecNear(target(), Vec3(0, 0, 0));
}

TEST_F(Interaction, TapsShorterThanAFrameAreSeenOnce)
{
    // Each key goes down and up between two frames: only the events show it.
    h->click(sideX, sideY);
    h->platform().tapKey('F');
    h->frames(2);
    expectVecNear(target(), Vec3(20, 0, 0));
    h->platform().tapKey('C');
    h->frames(2);
    expectVecNear(target(), Vec3(0, 0, 0));

    // A shift tap around a click adds to the selection; the tap is gone
    // by the click after it.
    h->platform().setCursor(boxX, boxY);
    h->frames(1);
    h->platform().tapKey(GLFW_KEY_LEFT_SHIFT); // delivered at this frame's swap
    h->frames(1);
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, true);
    h->frames(1);
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
    h->frames(1);
    EXPECT_TRUE(selected(box) && selected(side)) << "shift seen";
    h->click(sideX, sideY);
    EXPECT_FALSE(selected(box)) << "shift no longer seen";

    // Released and pressed again while one frame runs: a second press.
    InputState s;
    h->platform().pressKey('Q');
    h->platform().swapBuffers();
    GLFWGameWindow::pollInput(s);
    ASSERT_TRUE(s.keyPressed['Q']);
    h->platform().swapBuffers();
    GLFWGameWindow::pollInput(s);
    EXPECT_FALSE(s.keyPressed['Q']) << "one press, one frame";
    h->platform().releaseKey('Q');
    h->platform().pressKey('Q');
    h->platform().swapBuffers();
    GLFWGameWindow::pollInput(s);
    EXPECT_TRUE(s.keyPressed['Q']);
    h->platform().releaseKey('Q');

    // Escape tapped while the frame ran ends the loop after it.
    h->platform().tapKey(GLFW_KEY_ESCAPE);
    h->frames(1);
    EXPECT_FALSE(app().running);
}

TEST_F(Interaction, RightDragOrbitsAndWheelZooms)
{
    const Vec3 before = offset();
    h->drag(400, 600, 600, 600, GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
    const Vec3 after = offset();
    // 200 pixels are one radian about the vertical through the pivot.
    const float turn = std::atan2(after.x, after.z) - std::atan2(before.x, before.z);
    EXPECT_NEAR(std::fabs(turn), 1.0f, 1e-4f);
    EXPECT_NEAR(after.y, before.y, 1e-3f);
    EXPECT_NEAR(length(after), length(before), 1e-3f);

    const float distance = length(offset());
    h->platform().scroll(1);
    h->frames(1);
    EXPECT_NEAR(length(offset()), distance * 0.96f, distance * 1e-5f) << "4 % a notch";
    h->platform().scroll(-2);
    h->frames(1);
    EXPECT_NEAR(length(offset()), distance * 0.96f * 1.08f, distance * 1e-5f);

    // A touch pad's quarter notches add up to one notch over four frames
    // instead of being dropped every frame; backwards they add up likewise.
    const float slow = length(offset());
    for (int i = 0; i < 4; ++i) {
        h->platform().scroll(0.25);
        h->frames(1);
        if (i < 3) {
            EXPECT_NEAR(length(offset()), slow, slow * 1e-5f) << "less than a notch so far";
        }
    }
    EXPECT_NEAR(length(offset()), slow * 0.96f, slow * 1e-5f);
    h->platform().scroll(-0.6);
    h->frames(1);
    h->platform().scroll(-0.6);
    h->frames(1);
    EXPECT_NEAR(length(offset()), slow * 0.96f * 1.04f, slow * 1e-5f);
    h->platform().scroll(0.2); // takes the remaining -0.2 back to nothing
    h->frames(1);

    // Wheel movement while orbiting is dropped, not saved for later.
    const float held = length(offset());
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_RIGHT, true);
    h->frames(1);
    ASSERT_EQ(app().interactionMode, InteractionMode::Orbiting);
    h->platform().scroll(3);
    h->frames(1);
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_RIGHT, false);
    h->frames(2);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
    EXPECT_NEAR(length(offset()), held, held * 1e-5f);
}

TEST_F(Interaction, DeleteRemovesTheSelectedObject)
{
    const size_t placedBefore = scene().root->children.size();
    h->tapKey(GLFW_KEY_DELETE);
    EXPECT_EQ(scene().root->children.size(), placedBefore) << "nothing selected, nothing deleted";
    EXPECT_EQ(scene().objects.size(), 3u);

    const uint32_t sideId = side->id;
    h->click(sideX, sideY);
    ASSERT_TRUE(selected(side));
    h->tapKey(GLFW_KEY_DELETE);
    side = nullptr;
    EXPECT_EQ(scene().root->children.size(), placedBefore - 1);
    EXPECT_TRUE(scene().selection.empty());
    EXPECT_EQ(scene().objects.size(), 2u);
    EXPECT_FALSE(scene().gizmo->active);
    EXPECT_EQ(lookupId(sideId), nullptr);
    Shot s = h->capture();
    EXPECT_EQ(std::count(s.ids.begin(), s.ids.end(), sideId), 0);
    EXPECT_EQ(s.idAt(boxX, boxY), box->id);
}

TEST_F(Interaction, TabOpensTheConsoleOnlyWhenIdle)
{
    h->platform().setCursor(boxX, boxY);
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_RIGHT, true);
    h->frames(1);
    ASSERT_EQ(app().interactionMode, InteractionMode::Orbiting);
    h->tapKey(GLFW_KEY_TAB);
    EXPECT_EQ(app().interactionMode, InteractionMode::Orbiting) << "Tab while orbiting is dropped";
    h->platform().setMouseButton(GLFW_MOUSE_BUTTON_RIGHT, false);
    h->frames(2);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);

    h->tapKey(GLFW_KEY_TAB);
    EXPECT_EQ(app().interactionMode, InteractionMode::ConsoleOpen);

    // The console has the input: clicks and the wheel do nothing.
    h->click(boxX, boxY);
    EXPECT_TRUE(scene().selection.empty());
    const Vec3 eye = app().camera->eye;
    h->platform().scroll(2);
    h->frames(1);
    expectVecNear(app().camera->eye, eye);

    // Tab closes it; the next update hands the input back.
    h->tapKey(GLFW_KEY_TAB);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
    h->click(boxX, boxY);
    EXPECT_TRUE(selected(box));
}
