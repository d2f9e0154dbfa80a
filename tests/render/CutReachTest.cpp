// Which objects a pass confined to a screen rectangle may leave out.
#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "render/CutReach.h"
#include "scene/MeshInstance.h"

#include <gtest/gtest.h>

TEST(CutReach, OnlyObjectsWhollyBesideARectangleAreLeftOut)
{
    Camera camera(Vec3(0, 1, 0), Vec3(0, 0, 10), Vec3(0, 0, 0), 100, 100, 0.1f, 100.0f, 70.0f);
    camera.update();
    Mesh box; // a unit cube about the origin, bounds from its positions alone
    box.positions = {-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f};
    MeshInstance cube(&box);
    cube.setModelView(camera.view);

    const PixelRect centre{45, 45, 55, 55}, corner{0, 0, 10, 10};
    EXPECT_TRUE(mayDrawInto(&cube, camera, 100, 100, centre));
    EXPECT_FALSE(mayDrawInto(&cube, camera, 100, 100, corner));
    // Its near face spans 46.2 to 53.8 pixels across: a pixel beyond still counts.
    EXPECT_TRUE(mayDrawInto(&cube, camera, 100, 100, PixelRect{54, 45, 60, 55}));
    EXPECT_FALSE(mayDrawInto(&cube, camera, 100, 100, PixelRect{55, 45, 60, 55}));

    // Through the near plane its rectangle is unknown: never left out.
    Mat4 close = camera.view;
    close[14] += 9.7f;
    cube.setModelView(close);
    EXPECT_TRUE(mayDrawInto(&cube, camera, 100, 100, corner));
}
