// The frame follows the framebuffer's size: a window the window manager
// resized, and a scaled screen whose framebuffer is larger than the window.
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "support/AppHarness.h"
#include "text/CommandConsole.h"
#include "text/Text.h"

#include <algorithm>
#include <cmath>

namespace {

bool selected(AppHarness& h, MeshInstance* m)
{
    return h.app().scene->selection.count(m) != 0;
}

float uniform(const ShaderProgram& p, const char* name, int index = 0)
{
    float v[16] = {};
    glGetUniformfv(p.program, p.uniform(name), v);
    return v[index];
}

} // namespace

TEST(RenderSize, FollowsTheFramebufferThroughResizesAndScaledScreens)
{
    AppHarness h("scenes/s_test.sce");
    ASSERT_TRUE(h.started());
    TorvWindow& app = h.app();
    MeshInstance* crust = h.placed(0);
    MeshInstance* moon = h.placed(4);
    // Programs and targets of a cut are made with the first cut frame; then
    // they follow the size too.
    h.frames(1);
    EXPECT_FALSE(app.renderer().program("Cut surface Shader")->linked);
    EXPECT_FALSE(app.renderer().target(RenderTarget::Flood0).created);
    app.selectInstance(h.placed(3));
    h.frames(1);
    EXPECT_TRUE(app.renderer().program("Cut surface Shader")->linked);
    const float focal = app.camera->projection.m[5];

    // The window manager makes the window 1000 x 600.
    ASSERT_TRUE(h.resize(1000, 600));
    h.frames(2);
    Renderer& r = app.renderer();
    EXPECT_EQ(app.renderWidth(), 1000);
    EXPECT_EQ(app.renderHeight(), 600);
    for (RenderTarget t : {RenderTarget::Line, RenderTarget::Scene, RenderTarget::FrontDepthCopy, RenderTarget::Flood0,
                           RenderTarget::Flood1}) {
        EXPECT_EQ(r.target(t).width, 1000);
        EXPECT_EQ(r.target(t).height, 600);
    }
    EXPECT_EQ(r.target(RenderTarget::Ghost).width, 333);
    EXPECT_EQ(r.target(RenderTarget::Ghost).height, 200);
    EXPECT_EQ(r.target(RenderTarget::Blur).width, 333);
    EXPECT_FLOAT_EQ(app.camera->aspect, 1000.0f / 600.0f);
    EXPECT_FLOAT_EQ(app.camera->projection.m[5], focal) << "the vertical field of view stays";
    EXPECT_FLOAT_EQ(uniform(*r.program("Cell Shader"), "perspective", 0), app.camera->projection.m[0]);
    EXPECT_FLOAT_EQ(uniform(*r.program("Cut surface Shader"), "perspective", 0), app.camera->projection.m[0]);
    EXPECT_EQ(app.console->inputText->y, 600 - 20) << "the console stays at the top";

    // The whole globe, centred: its id image spans symmetric bounds around
    // the middle, well inside the frame.
    Shot s = h.capture();
    int x0 = s.width, x1 = -1, y0 = s.height, y1 = -1;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.idAt(x, y) == crust->id) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    EXPECT_NEAR((x0 + x1) / 2.0, 500, 2);
    EXPECT_NEAR((y0 + y1) / 2.0, 300, 2);
    EXPECT_GT(y0, 10);
    EXPECT_LT(y1, 590);

    int mx = 0, my = 0;
    h.projectPlaced(4, mx, my);
    h.click(mx, my);
    EXPECT_TRUE(selected(h, moon)) << "a click on the moon picks it";
    h.click(mx, my + 200);
    EXPECT_FALSE(selected(h, moon));

    // A screen scaled by 2: the window is 500 x 300, its framebuffer
    // 1000 x 600. The cursor's window position maps to the frame's pixel.
    ASSERT_TRUE(h.resize(500, 300, 2));
    h.frames(1);
    EXPECT_EQ(app.renderWidth(), 1000);
    h.click(mx / 2, my / 2);
    EXPECT_TRUE(selected(h, moon)) << "picked through the scaled window";
    h.click(5, 5);
    EXPECT_FALSE(selected(h, moon));

    // Back to a portrait window at scale 1.
    ASSERT_TRUE(h.resize(600, 900));
    h.frames(1);
    EXPECT_EQ(r.target(RenderTarget::Scene).width, 600);
    EXPECT_EQ(r.target(RenderTarget::Scene).height, 900);
    EXPECT_EQ(r.target(RenderTarget::Ghost).width, 133);
    h.projectPlaced(4, mx, my);
    h.click(mx, my);
    EXPECT_TRUE(selected(h, moon));
}
