// Gizmo handles: drag arithmetic without GL, then the real application on
// the headless platform driven by the mouse.
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/AppHarness.h"
#include "text/CommandConsole.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>

TEST(GizmoArithmetic, ScaleFactorForHorizontalDrag)
{
    EXPECT_FLOAT_EQ(scaleFactorForDrag(100), 2.0f);
    EXPECT_FLOAT_EQ(scaleFactorForDrag(-50), 100.0f / 150.0f);
    EXPECT_FLOAT_EQ(scaleFactorForDrag(-100), 0.5f);
    EXPECT_FLOAT_EQ(scaleFactorForDrag(0), 1.0f);
    EXPECT_FLOAT_EQ(scaleFactorForDrag(1), 1.01f);
    for (int diff : {-100000, -2000, -101, -1, 0, 1, 99, 5000})
        EXPECT_GT(scaleFactorForDrag(diff), 0.0f) << diff;
}

TEST(GizmoArithmetic, PlaneAndRayIntersection)
{
    // The offset uses the normal as passed; the stored normal is unit length.
    Plane p(Vec3(1, 2, 3), Vec3(0, 0, 2));
    EXPECT_FLOAT_EQ(p.normal.z, 1.0f);
    EXPECT_FLOAT_EQ(length(p.normal), 1.0f);
    EXPECT_DOUBLE_EQ(p.offset, -6.0);
    EXPECT_FLOAT_EQ(p.point.y, 2.0f);

    Plane x(Vec3(5, 7, -2), Vec3(1, 0, 0));
    EXPECT_DOUBLE_EQ(x.offset, -5.0);
    Vec3 hit(9, 9, 9);
    // Any direction, not normalised, from either side.
    ASSERT_TRUE(intersectRayPlane(x, Vec3(0, 1, 1), Vec3(2, 1, -3), hit));
    EXPECT_NEAR(hit.x, 5.0f, 1e-5f);
    EXPECT_NEAR(hit.y, 3.5f, 1e-5f);
    EXPECT_NEAR(hit.z, -6.5f, 1e-5f);
    ASSERT_TRUE(intersectRayPlane(x, Vec3(10, 0, 0), Vec3(-0.5f, 0, 1), hit));
    EXPECT_NEAR(hit.x, 5.0f, 1e-5f);
    EXPECT_NEAR(hit.z, 10.0f, 1e-5f);

    // Parallel within the tolerance: no hit, and the output is left alone.
    hit = Vec3(9, 9, 9);
    EXPECT_FALSE(intersectRayPlane(x, Vec3(0, 0, 0), Vec3(0.000009f, 1, 1), hit));
    EXPECT_FALSE(intersectRayPlane(x, Vec3(0, 0, 0), Vec3(-0.000009f, 0, 3), hit));
    EXPECT_FLOAT_EQ(hit.x, 9.0f);
    EXPECT_TRUE(intersectRayPlane(x, Vec3(0, 0, 0), Vec3(0.00002f, 0, 1), hit));
}

namespace {

constexpr int kSize = 600;

// The whole object-id image of the last frame, read once (y down).
struct IdImage {
    explicit IdImage(TorvWindow& app)
        : w(app.renderWidth()), h(app.renderHeight()), ids(app.renderer().readObjectIds())
    {
    }
    uint32_t at(int x, int y) const { return ids[static_cast<size_t>(h - 1 - y) * w + x]; }
    // Horizontal and vertical pixel extent of everything carrying one of [first, last].
    void extent(uint32_t first, uint32_t last, int& width, int& height) const
    {
        int x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) >= first && at(x, y) <= last) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        width = x1 - x0 + 1;
        height = y1 - y0 + 1;
    }
    int w, h;
    std::vector<uint32_t> ids;
};

// Two equal boxes, the second twice as far from the eye (0, 20, 50) as the
// first and mirrored across the screen's centre, so both look the same way.
class GizmoApp : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string dir = makeTempDir();
        writeBoxObj(dir, "box", 2.0f, Vec3(0.8f, 0.8f, 0.7f));
        std::ofstream(dir + "/pair.sce") << "meshnode\nfile box.obj\nt -20 0 10\nendmeshnode\n"
                                            "meshnode\nfile box.obj\nt 40 -20 -30\nendmeshnode\n";
        shared = new AppHarness(dir + "/pair.sce", kSize, kSize, dir + "/");
    }
    static void TearDownTestSuite()
    {
        delete shared;
        shared = nullptr;
    }

    // Every test starts from the file's placement, nothing selected, edit
    // mode on, the mouse idle over the background.
    void SetUp() override
    {
        ASSERT_TRUE(h.started());
        ASSERT_TRUE(h.placed(0) && h.placed(1));
        TorvWindow& a = app();
        a.deselectAll();
        const Vec3 start[2] = {Vec3(-20, 0, 10), Vec3(40, -20, -30)};
        for (int i = 0; i < 2; ++i) {
            SRTTransform* t = srt(i);
            t->translation = start[i];
            t->scale = 1.0f;
            t->recompute();
        }
        a.scene->editMode = true;
        a.scene->lineMode = LineMode::Off;
        a.interactionMode = InteractionMode::Idle;
        a.scene->gizmo->endDrag();
        h.platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
        h.platform().setCursor(2, 2);
        h.frames(1);
    }

    TorvWindow& app() { return h.app(); }
    SubGizmo* handle(int i) { return app().scene->gizmo->handle(i); }
    SRTTransform* srt(int i) { return h.placed(i)->node->srt(); }
    uint32_t handleId(int i) { return handle(i)->id; }

    // Window pixel of a point given in gizmo units about object i's origin:
    // the handle squares span [-1, 1], the scale cube [-0.4, 0.4].
    void gizmoPixel(int i, const Vec3& local, int& x, int& y)
    {
        const Vec3 origin = srt(i)->translation;
        const float unit = 0.05f * length(app().camera->eye - origin);
        h.project(origin + local * unit, x, y);
    }
    // A point on translate handle `axis`, `reach` gizmo units out along the
    // other two axes on the eye's side, where no other handle hides it.
    void handlePixel(int i, int axis, float reach, int& x, int& y)
    {
        const Vec3 toEye = app().camera->eye - srt(i)->translation;
        Vec3 local(0, 0, 0);
        for (int c = 0; c < 3; ++c)
            if (c != axis)
                local[c] = toEye[c] > 0 ? reach : -reach;
        gizmoPixel(i, local, x, y);
    }
    void selectByClick(int i, bool shift = false)
    {
        int x = 0, y = 0;
        h.projectPlaced(i, x, y);
        h.click(x, y, GLFW_MOUSE_BUTTON_LEFT, shift);
    }
    // The handles of object i's gizmo are where and as large as they should be.
    void expectHandlesAround(int i, const IdImage& ids)
    {
        int x = 0, y = 0;
        for (int axis = 0; axis < 3; ++axis) {
            handlePixel(i, axis, 0.8f, x, y);
            EXPECT_EQ(ids.at(x, y), handleId(axis)) << "object " << i << " axis " << axis << " inside";
            handlePixel(i, axis, 1.2f, x, y);
            EXPECT_NE(ids.at(x, y), handleId(axis)) << "object " << i << " axis " << axis << " outside";
        }
        h.projectPlaced(i, x, y);
        EXPECT_EQ(ids.at(x, y), handleId(3)) << "object " << i << " scale cube";
    }

    static AppHarness* shared;
    AppHarness& h = *shared;
};

AppHarness* GizmoApp::shared = nullptr;

} // namespace

TEST_F(GizmoApp, HandlesSitAtTheSelectedOriginAtConstantScreenSize)
{
    for (int i = 1; i < Gizmo::handleCount; ++i)
        EXPECT_EQ(handleId(i), handleId(0) + static_cast<uint32_t>(i)) << "ids in the order x, y, z, scale";

    selectByClick(0);
    ASSERT_EQ(app().scene->gizmo->target, h.placed(0)->node);
    IdImage near(app());
    expectHandlesAround(0, near);
    // The scale cube's two strips are split by the all-ones index.
    EXPECT_TRUE(glIsEnabled(GL_PRIMITIVE_RESTART));
    GLint restartIndex = 0;
    glGetIntegerv(GL_PRIMITIVE_RESTART_INDEX, &restartIndex);
    EXPECT_EQ(static_cast<GLuint>(restartIndex), Mesh::restartIndex);

    selectByClick(1);
    ASSERT_EQ(app().scene->gizmo->target, h.placed(1)->node);
    IdImage far(app());
    expectHandlesAround(1, far);
    int x = 0, y = 0;
    h.projectPlaced(0, x, y);
    EXPECT_EQ(far.at(x, y), h.placed(0)->id) << "the gizmo left the first object";

    // Twice the distance, twice the world size: the same size on screen,
    // while the far box itself looks half as large.
    int nw = 0, nh = 0, fw = 0, fh = 0;
    near.extent(handleId(0), handleId(3), nw, nh);
    far.extent(handleId(0), handleId(3), fw, fh);
    EXPECT_NEAR(fw, nw, 2);
    EXPECT_NEAR(fh, nh, 2);
    // Each box measured while unselected, where no gizmo covers its ids.
    int bw = 0, bh = 0, cw = 0, ch = 0;
    near.extent(h.placed(1)->id, h.placed(1)->id, bw, bh);
    far.extent(h.placed(0)->id, h.placed(0)->id, cw, ch);
    EXPECT_NEAR(2.0 * bw, cw, 4.0);
}

// Set TORV_GIZMO_PNG to a path to keep the hovered frame for a look.
TEST_F(GizmoApp, HoveredTranslateHandleIsBrighterForThatFrame)
{
    app().scene->lineMode = LineMode::On;
    selectByClick(0);
    int px[4], py[4];
    for (int axis = 0; axis < 3; ++axis)
        handlePixel(0, axis, 0.6f, px[axis], py[axis]);
    h.projectPlaced(0, px[3], py[3]);
    Rgba base[4];
    for (int i = 0; i < 4; ++i)
        base[i] = h.pixel(px[i], py[i]);

    // Axis colours: x reddish, y greenish, z bluish, the cube grey.
    EXPECT_GT(base[0].r, base[0].g + 40);
    EXPECT_GT(base[1].g, base[1].r + 40);
    EXPECT_GT(base[2].b, base[2].g + 40);
    EXPECT_NEAR(base[3].r, base[3].g, 2);
    EXPECT_NEAR(base[3].g, base[3].b, 2);

    h.platform().setCursor(px[0], py[0]);
    h.frames(1);
    if (const char* png = std::getenv("TORV_GIZMO_PNG"))
        h.savePng(png);
    auto* x = static_cast<TranslateGizmo*>(handle(0));
    EXPECT_FLOAT_EQ(x->color.x, 1.12f);
    EXPECT_FLOAT_EQ(x->color.y, 0.56f);
    EXPECT_FLOAT_EQ(x->color.z, 0.56f);
    EXPECT_EQ(x->dragState, DragState::Idle) << "hover lasts one frame";
    Rgba lit = h.pixel(px[0], py[0]);
    EXPECT_NEAR(lit.g, base[0].g * 1.4, 3.0);
    EXPECT_NEAR(lit.b, base[0].b * 1.4, 3.0);
    for (int i = 1; i < 4; ++i) {
        Rgba p = h.pixel(px[i], py[i]);
        EXPECT_EQ(p.g, base[i].g) << "handle " << i << " unchanged";
    }

    // Over the scale cube: no feedback there, and the x handle is back to normal.
    h.platform().setCursor(px[3], py[3]);
    h.frames(1);
    EXPECT_EQ(handle(3)->dragState, DragState::Idle);
    for (int i = 0; i < 4; ++i) {
        Rgba p = h.pixel(px[i], py[i]);
        EXPECT_EQ(p.g, base[i].g) << "handle " << i;
        EXPECT_EQ(p.r, base[i].r) << "handle " << i;
    }
}

TEST_F(GizmoApp, ScaleHandleFollowsHorizontalMotionUntilMouseUp)
{
    selectByClick(0);
    int x0 = 0, y0 = 0;
    h.projectPlaced(0, x0, y0);
    HeadlessPlatform& p = h.platform();
    p.setCursor(x0, y0);
    h.frames(1);
    p.setMouseButton(GLFW_MOUSE_BUTTON_LEFT, true);
    h.frames(1);
    ASSERT_EQ(app().interactionMode, InteractionMode::DraggingGizmo);
    ASSERT_EQ(handle(3)->dragState, DragState::Dragged);
    EXPECT_EQ(app().scene->gizmo->target, h.placed(0)->node) << "pressing a handle keeps the selection";

    struct Step {
        int dx, dy;
        float scale;
    };
    // The factor is taken from the press, so moving back restores the scale.
    const Step steps[] = {{100, 0, 2.0f}, {-50, 30, 100.0f / 150.0f}, {0, 80, 1.0f}, {0, -90, 1.0f}, {100, -60, 2.0f}};
    for (const Step& s : steps) {
        p.setCursor(x0 + s.dx, y0 + s.dy);
        h.frames(1);
        EXPECT_FLOAT_EQ(srt(0)->scale, s.scale) << s.dx << ", " << s.dy;
    }
    // The box is twice as large now, its gizmo is not.
    expectHandlesAround(0, IdImage(app()));
    EXPECT_FLOAT_EQ(srt(1)->scale, 1.0f);

    p.setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
    h.frames(1);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
    for (int i = 0; i < Gizmo::handleCount; ++i)
        EXPECT_EQ(handle(i)->dragState, DragState::Idle) << i;
    p.setCursor(x0 + 150, y0);
    h.frames(1);
    EXPECT_FLOAT_EQ(srt(0)->scale, 2.0f) << "the drag ended with the button";
}

TEST_F(GizmoApp, TranslateHandleMovesInTheWorldPlaneAcrossItsAxis)
{
    selectByClick(0);
    const Vec3 start = srt(0)->translation;
    int x = 0, y = 0;

    // A press without motion leaves the object where it was.
    handlePixel(0, 2, 0.6f, x, y);
    h.drag(x, y, x, y, GLFW_MOUSE_BUTTON_LEFT, 1);
    EXPECT_NEAR(srt(0)->translation.x, start.x, 1e-3f);
    EXPECT_NEAR(srt(0)->translation.y, start.y, 1e-3f);
    EXPECT_NEAR(srt(0)->translation.z, start.z, 1e-3f);

    int ox = 0, oy = 0;
    h.projectPlaced(0, ox, oy);
    handlePixel(0, 0, 0.6f, x, y);
    h.drag(x, y, x + 30, y - 20, GLFW_MOUSE_BUTTON_LEFT, 3);
    const Vec3 moved = srt(0)->translation;
    EXPECT_NEAR(moved.x, start.x, 1e-3f) << "stays in the plane x = " << start.x;
    EXPECT_GT(std::fabs(moved.y - start.y) + std::fabs(moved.z - start.z), 1.0f);
    // The origin keeps its offset to the mouse: it moved as far as the mouse did.
    int nx = 0, ny = 0;
    h.projectPlaced(0, nx, ny);
    EXPECT_NEAR(nx - ox, 30, 1);
    EXPECT_NEAR(ny - oy, -20, 1);
    EXPECT_EQ(srt(1)->translation.x, 40.0f);
}

TEST_F(GizmoApp, WithTwoSelectedOnlyTheLastSelectedMoves)
{
    selectByClick(0);
    selectByClick(1, true);
    ASSERT_EQ(app().scene->selection.size(), 2u);
    ASSERT_EQ(app().scene->gizmo->target, h.placed(1)->node);

    int x = 0, y = 0;
    handlePixel(1, 1, 0.6f, x, y);
    ASSERT_EQ(IdImage(app()).at(x, y), handleId(1));
    h.drag(x, y, x - 25, y + 15, GLFW_MOUSE_BUTTON_LEFT, 2);
    EXPECT_NEAR(srt(1)->translation.y, -20.0f, 1e-3f);
    EXPECT_GT(std::fabs(srt(1)->translation.x - 40.0f), 1.0f);
    EXPECT_EQ(srt(0)->translation.x, -20.0f);
    EXPECT_EQ(srt(0)->translation.y, 0.0f);
    EXPECT_EQ(srt(0)->translation.z, 10.0f);
    EXPECT_EQ(app().scene->selection.size(), 2u);
}

TEST_F(GizmoApp, EditModeOffHidesHandlesFromPicking)
{
    selectByClick(0);
    int x = 0, y = 0;
    h.projectPlaced(0, x, y);
    // The cube lies inside the box, whose near face covers it: the handle
    // still wins the pick.
    ASSERT_EQ(IdImage(app()).at(x, y), handleId(3));

    app().scene->editMode = false;
    h.frames(1);
    IdImage ids(app());
    EXPECT_EQ(ids.at(x, y), h.placed(0)->id);
    size_t handlePixels = 0;
    for (uint32_t id : ids.ids)
        handlePixels += id >= handleId(0) && id <= handleId(3);
    EXPECT_EQ(handlePixels, 0u);

    h.platform().setCursor(x, y);
    h.frames(1);
    h.platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, true);
    h.frames(1);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
    h.platform().setCursor(x + 100, y);
    h.frames(1);
    h.platform().setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
    EXPECT_FLOAT_EQ(srt(0)->scale, 1.0f);
    EXPECT_EQ(app().scene->gizmo->target, h.placed(0)->node) << "clicking still selects";
}

// "edit off" during a drag ends it: the handle stops following the mouse.
TEST_F(GizmoApp, ClearedDragStateStopsTheDrag)
{
    selectByClick(0);
    int x = 0, y = 0;
    h.projectPlaced(0, x, y);
    HeadlessPlatform& p = h.platform();
    p.setCursor(x, y);
    h.frames(1);
    p.setMouseButton(GLFW_MOUSE_BUTTON_LEFT, true);
    h.frames(1);
    p.setCursor(x + 100, y);
    h.frames(1);
    ASSERT_FLOAT_EQ(srt(0)->scale, 2.0f);

    app().console->executeCommand("edit off");
    p.setCursor(x + 200, y);
    h.frames(1);
    EXPECT_FLOAT_EQ(srt(0)->scale, 2.0f);
    p.setMouseButton(GLFW_MOUSE_BUTTON_LEFT, false);
    h.frames(1);
    EXPECT_EQ(app().interactionMode, InteractionMode::Idle);
}
