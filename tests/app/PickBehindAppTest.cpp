// Ctrl + click into the globe of the start scene and Home, through the real
// application and its scripted input.
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "support/AppHarness.h"

namespace {

void ctrlClick(AppHarness& h, int x, int y, bool shift = false)
{
    h.platform().pressKey(GLFW_KEY_LEFT_CONTROL);
    h.click(x, y, GLFW_MOUSE_BUTTON_LEFT, shift);
    h.platform().releaseKey(GLFW_KEY_LEFT_CONTROL);
    h.frames(1);
}

} // namespace

TEST(PickBehindApp, CtrlClicksWalkFromTheCrustToTheInnerCoreAndHomeFramesTheScene)
{
    AppHarness h; // the start scene: crust, mantle, outer core, inner core, moon
    ASSERT_TRUE(h.started());
    Scene& scene = *h.app().scene;
    int cx = 0, cy = 0;
    h.project(Vec3(0, 0, 0), cx, cy);
    auto only = [&](int placed) { return scene.selection.size() == 1 && scene.selection.count(h.placed(placed)); };

    h.click(cx, cy);
    EXPECT_TRUE(only(0)) << "a plain click takes the crust";
    ctrlClick(h, cx, cy);
    EXPECT_TRUE(only(1)) << "mantle";
    ctrlClick(h, cx + 1, cy - 2);
    EXPECT_TRUE(only(2)) << "outer core";
    ctrlClick(h, cx + 1, cy - 2);
    ASSERT_TRUE(only(3)) << "inner core";
    // Now shown cut open: the id image at the centre is the inner core's.
    EXPECT_EQ(h.idAt(cx, cy), h.placed(3)->id);
    // Ctrl + Shift adds, and the run wraps back to the crust.
    ctrlClick(h, cx, cy, true);
    EXPECT_EQ(scene.selection.size(), 2u);
    EXPECT_TRUE(scene.selection.count(h.placed(0)) && scene.selection.count(h.placed(3)));

    // Home: pivot to the centre of everything, the same view direction, and
    // every object inside the window with room to spare.
    const Camera& camera = *h.app().camera;
    const Vec3 direction = normalize(camera.target - camera.eye);
    h.click(5, 5); // clear the selection so nothing is cut
    h.tapKey(GLFW_KEY_HOME);
    h.frames(1);
    const Vec3 after = normalize(camera.target - camera.eye);
    EXPECT_NEAR(dot(direction, after), 1.0f, 1e-5f);
    EXPECT_GT(h.app().cameraController->pivot.x, 1.0f) << "the moon pulls the centre its way";
    Shot shot = h.capture();
    int left = shot.width, right = -1, top = shot.height, bottom = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.idAt(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_GT(std::min(left, top), 10);
    EXPECT_LT(std::max(right, bottom), shot.width - 10);
    EXPECT_GT(std::max(right - left, bottom - top), shot.width * 3 / 4) << "and fills most of it";

    // Shift + Home frames the selection alone: the moon.
    int mx = 0, my = 0;
    h.projectPlaced(4, mx, my);
    h.click(mx, my);
    ASSERT_TRUE(only(4));
    h.platform().pressKey(GLFW_KEY_LEFT_SHIFT);
    h.tapKey(GLFW_KEY_HOME);
    h.platform().releaseKey(GLFW_KEY_LEFT_SHIFT);
    h.frames(1);
    const Vec3 pivot = h.app().cameraController->pivot;
    EXPECT_NEAR(length(pivot - Vec3(19, 8, -6)), 0.0f, 0.5f);
}
