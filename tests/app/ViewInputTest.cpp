// Parts that behave like objects (F, the gizmo on the part, a press on a
// handle), pan, and Ctrl + click on a scaled screen, through the real
// application and its scripted input.
#include "interaction/Gizmo.h"
#include "interaction/ObjectCentre.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/AppHarness.h"

#include <fstream>
#include <sstream>

namespace {

// One OBJ object: a box of half-size s about c.
std::string box(const std::string& name, const Vec3& c, float s, int first)
{
    std::ostringstream o;
    o << "o " << name << "\n";
    for (int i = 0; i < 8; ++i)
        o << "v " << c.x + (i & 1 ? s : -s) << " " << c.y + (i & 2 ? s : -s) << " " << c.z + (i & 4 ? s : -s) << "\n";
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& f : faces)
        o << "f " << first + f[0] << " " << first + f[1] << " " << first + f[2] << " " << first + f[3] << "\n";
    return o.str();
}

void pressAt(AppHarness& h, int x, int y)
{
    h.platform().setCursor(x, y);
    h.frames(1);
    h.platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, true);
    h.frames(1);
}

void release(AppHarness& h)
{
    h.platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
    h.frames(1);
}

} // namespace

// A kit of two boxes placed by parts: both parts share the model's origin,
// halfway between them, yet each is focused, handled and scaled about its
// own centre.
TEST(ViewInput, PartsFocusCarryTheGizmoAndScaleAboutTheirOwnCentre)
{
    const std::string dir = makeTempDir();
    std::ofstream(dir + "/kit.obj") << box("left", Vec3(-8, 0, 0), 2, 1) << box("right", Vec3(8, 0, 0), 2, 9);
    std::ofstream(dir + "/empty.sce") << "global 30\n";
    AppHarness h(dir + "/empty.sce", 800, 800, dir + "/");
    ASSERT_TRUE(h.started());
    TorvWindow& app = h.app();
    testing::internal::CaptureStdout();
    ASSERT_EQ(app.sceneLoader->placeParts("kit.obj"), 2);
    testing::internal::GetCapturedStdout();
    MeshInstance* right = h.placed(1);
    h.frames(1);
    app.selectInstance(right);
    h.frames(1);

    h.tapKey('F');
    h.frames(1);
    const Vec3 pivot = app.cameraController->pivot;
    EXPECT_NEAR(pivot.x, 8.0f, 1e-3f) << "F focuses the part's centre, not the model's origin";
    EXPECT_NEAR(pivot.y, 0.0f, 1e-3f);

    // The gizmo's cube stands on the part's centre; pressing it keeps the
    // selection (the other part lies behind it from this side).
    app.scene->editMode = true;
    h.placeCamera(Vec3(30, 0, 0), Vec3(8, 0, 0));
    h.frames(2);
    int cx = 0, cy = 0;
    h.project(Vec3(8, 0, 0), cx, cy);
    EXPECT_EQ(h.idAt(cx, cy), app.scene->gizmo->handle(3)->id);
    h.platform().pressKey(GLFW_KEY_LEFT_CONTROL); // not even Ctrl reaches behind a handle
    pressAt(h, cx, cy);
    h.platform().releaseKey(GLFW_KEY_LEFT_CONTROL);
    EXPECT_EQ(app.interactionMode, InteractionMode::DraggingGizmo);
    EXPECT_EQ(app.scene->selection.size(), 1u);
    EXPECT_TRUE(app.scene->selection.count(right));
    h.platform().setCursor(cx + 100, cy); // twice the size
    h.frames(1);
    release(h);
    EXPECT_FLOAT_EQ(right->node->srt()->scale, 2.0f);
    const Vec3 centre = worldCentre(*right, *app.camera);
    EXPECT_NEAR(centre.x, 8.0f, 1e-3f) << "scaled about its own centre";
    EXPECT_NEAR(centre.y, 0.0f, 1e-3f);
    EXPECT_NEAR(centre.z, 0.0f, 1e-3f);
}

// From any side, no point of a translate square shows the scale cube.
TEST(ViewInput, TheScaleCubeNeverCoversATranslateSquare)
{
    const std::string dir = makeTempDir();
    writeBoxObj(dir, "box", 1.0f, Vec3(0.8f, 0.8f, 0.7f));
    std::ofstream(dir + "/one.sce") << "meshnode\nfile box.obj\nendmeshnode\n";
    AppHarness h(dir + "/one.sce", 400, 400, dir + "/");
    ASSERT_TRUE(h.started());
    TorvWindow& app = h.app();
    app.scene->editMode = true;
    app.selectInstance(h.placed(0));
    const Gizmo& gizmo = *app.scene->gizmo;
    for (const Vec3 side : {Vec3(1, 0, 0), Vec3(0, 1, 0.01f), Vec3(0, 0, 1), Vec3(-1, 0, 0), Vec3(0, -1, 0.01f),
                            Vec3(0, 0, -1), Vec3(1, 1, 1), Vec3(-1, 1, -1), Vec3(1, -1, -1), Vec3(-1, -1, 1),
                            Vec3(0.3f, 1, -0.6f)}) {
        const Vec3 eye = normalize(side) * 40.0f;
        h.placeCamera(eye, Vec3(0, 0, 0));
        h.frames(2);
        const float unit = 0.05f * 40.0f; // one gizmo unit in the world
        for (int axis = 0; axis < 3; ++axis) {
            Vec3 normal(0, 0, 0);
            normal[axis] = 1;
            if (std::fabs(dot(normal, normalize(side))) < 0.3f)
                continue; // seen edge-on: a sliver, not a target
            for (float a = 0.75f; a < 2.0f; a += 0.25f)
                for (float b = 0.75f; b < 2.0f; b += 0.25f) {
                    Vec3 local(0, 0, 0);
                    local[(axis + 1) % 3] = a;
                    local[(axis + 2) % 3] = b;
                    int x = 0, y = 0;
                    h.project(local * unit, x, y);
                    EXPECT_NE(h.idAt(x, y), gizmo.handle(3)->id)
                        << "seen from " << side.x << "," << side.y << "," << side.z << ", square " << axis;
                }
        }
    }
}

// Twice as many framebuffer pixels as window units: Ctrl + click still
// reaches behind what is under the cursor, and a middle drag pans with it.
TEST(ViewInput, CtrlClickAndPanOnAScaledScreen)
{
    AppHarness h; // the start scene: crust, mantle, ...
    ASSERT_TRUE(h.started());
    ASSERT_TRUE(h.resize(400, 400, 2));
    h.frames(2);
    Scene& scene = *h.app().scene;
    int fx = 0, fy = 0;
    h.project(Vec3(0, 0, 0), fx, fy); // framebuffer pixels
    const int cx = fx / 2, cy = fy / 2;
    h.click(cx, cy);
    ASSERT_TRUE(scene.selection.count(h.placed(0))) << "a plain click takes the crust";
    h.platform().pressKey(GLFW_KEY_LEFT_CONTROL);
    h.click(cx, cy);
    h.platform().releaseKey(GLFW_KEY_LEFT_CONTROL);
    h.frames(1);
    EXPECT_EQ(scene.selection.size(), 1u);
    EXPECT_TRUE(scene.selection.count(h.placed(1))) << "the mantle, behind the crust under the cursor";

    // The pivot sits under the cursor and follows it; the view keeps its turn.
    const Vec3 pivot = h.app().cameraController->pivot;
    const Vec3 direction = normalize(pivot - h.app().camera->eye);
    h.drag(cx, cy, cx + 40, cy - 25, GLFW_MOUSE_BUTTON_MIDDLE);
    EXPECT_EQ(h.app().interactionMode, InteractionMode::Idle);
    int px = 0, py = 0;
    h.project(pivot, px, py);
    EXPECT_NEAR(px, 2 * (cx + 40), 2);
    EXPECT_NEAR(py, 2 * (cy - 25), 2);
    EXPECT_NEAR(dot(direction, normalize(h.app().cameraController->pivot - h.app().camera->eye)), 1.0f, 1e-5f);
    // Shift + right drag pans the same way; a plain right drag still orbits.
    h.platform().pressKey(GLFW_KEY_LEFT_SHIFT);
    h.drag(cx + 40, cy - 25, cx, cy, GLFW_MOUSE_BUTTON_RIGHT);
    h.platform().releaseKey(GLFW_KEY_LEFT_SHIFT);
    h.project(pivot, px, py);
    EXPECT_NEAR(px, 2 * cx, 2);
    EXPECT_NEAR(py, 2 * cy, 2);
}

// The viewer ends with a change unsaved: the scene goes to the recovery file
// and the path is printed; ended right after a save, it writes none.
TEST(ViewInput, QuittingWithUnsavedChangesWritesTheRecoveryFile)
{
    const std::string state = makeTempDir();
    const char* old = std::getenv("XDG_STATE_HOME");
    const std::string oldState = old ? old : "";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    const std::string recovery = state + "/torv/recovery.sce";
    for (bool saveFirst : {true, false}) {
        std::string printed;
        {
            AppHarness h;
            ASSERT_TRUE(h.started());
            h.app().keepRecovery = true;
            h.app().sceneLoader->sceneDirectory = state + "/";
            h.app().scene->setGlobalAngle(55);
            if (saveFirst) {
                ASSERT_TRUE(h.app().sceneLoader->saveScene("kept.sce"));
            }
            testing::internal::CaptureStdout();
            h.app().finish();
            printed = testing::internal::GetCapturedStdout();
        }
        std::ifstream in(recovery);
        if (saveFirst) {
            EXPECT_FALSE(in.good()) << printed;
            continue;
        }
        ASSERT_TRUE(in.good()) << printed;
        EXPECT_NE(printed.find(recovery), std::string::npos) << printed;
        std::string first;
        std::getline(in, first);
        EXPECT_EQ(first, "global 55");
    }
    if (old)
        setenv("XDG_STATE_HOME", oldState.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
}
