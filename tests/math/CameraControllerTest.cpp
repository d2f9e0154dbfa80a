#include <gtest/gtest.h>

#include <cmath>

#include "math/Camera.h"
#include "math/CameraController.h"
#include "math/MathExpect.h"

namespace {
struct Rig {
    explicit Rig(Vec3 eye = Vec3(0, 20, 50)) : camera(Vec3(0, 1, 0), eye, Vec3(), 800, 800, 0.1f, 1000, 70) {}
    Camera camera;
    CameraController ctl{&camera};
};

float elevation(const Vec3& offset) { return std::asin(offset.y / length(offset)); }
const float maxE = CameraController::maxElevation;

void expectCameraFollows(const Rig& r) {
    expectVecNear(r.camera.eye, r.ctl.eye, 0.0f);
    expectVecNear(r.camera.target, r.ctl.pivot, 0.0f);
    expectVecNear(r.camera.inverseView.translation(), r.ctl.eye, 1e-3f);
    expectRotationBlock(r.camera.view);
}
}  // namespace

TEST(CameraController, SidewaysDragTurnsOneRadianPer200PixelsFromTheStart) {
    Rig r;
    r.ctl.orbit(500, 300);  // not dragging: nothing happens
    expectVecNear(r.ctl.eye, Vec3(0, 20, 50), 0.0f);

    r.ctl.beginOrbit(300, 300);
    r.ctl.orbit(500, 300);
    expectVecNear(r.ctl.eye, Vec3(-50 * std::sin(1.0f), 20, 50 * std::cos(1.0f)), 1e-4f);
    expectCameraFollows(r);
    r.ctl.orbit(100, 300);  // measured from the drag start, not accumulated
    expectVecNear(r.ctl.eye, Vec3(50 * std::sin(1.0f), 20, 50 * std::cos(1.0f)), 1e-4f);
    r.ctl.orbit(300, 300);
    EXPECT_FLOAT_EQ(r.ctl.eye.x, 0.0f);
    EXPECT_FLOAT_EQ(r.ctl.eye.y, 20.0f);
    EXPECT_FLOAT_EQ(r.ctl.eye.z, 50.0f);

    r.ctl.endOrbit();
    r.ctl.orbit(700, 700);
    EXPECT_FLOAT_EQ(r.ctl.eye.z, 50.0f);
}

TEST(CameraController, VerticalDragStopsAtTheElevationLimit) {
    Rig r;
    float dist = length(r.ctl.eye), start = elevation(r.ctl.eye);
    r.ctl.beginOrbit(0, 0);
    // More than a whole turn each way (down raises the eye): never past the
    // limit, never over to the other side or the other pole, distance kept.
    for (int dy = -1500; dy <= 1500; dy += 15) {
        SCOPED_TRACE(dy);
        r.ctl.orbit(0, dy);
        EXPECT_NEAR(length(r.ctl.eye), dist, 1e-3f);
        EXPECT_NEAR(r.ctl.eye.x, 0.0f, 1e-4f);
        EXPECT_GT(r.ctl.eye.z, 0.0f);
        EXPECT_NEAR(elevation(r.ctl.eye), std::fmin(std::fmax(start + dy / 200.0f, -maxE), maxE), 1e-5f);
    }
}

TEST(CameraController, FocusMovesOnlyTheTargetAndTheOrbitFollows) {
    Rig r;
    Vec3 pivot(10, 0, -5);
    r.ctl.focus(pivot);
    expectVecNear(r.camera.eye, Vec3(0, 20, 50), 0.0f);
    expectCameraFollows(r);

    Vec3 a = r.ctl.eye - pivot;
    r.ctl.beginOrbit(0, 0);
    r.ctl.orbit(314, 0);
    Vec3 b = r.ctl.eye - pivot;  // turned about the new pivot's vertical, same distance
    expectVecNear(b, Vec3(a.x * std::cos(1.57f) - a.z * std::sin(1.57f), a.y,
                          a.x * std::sin(1.57f) + a.z * std::cos(1.57f)), 1e-4f);
}

TEST(CameraController, ZoomScalesByFourPercentAndStopsShortOfThePivot) {
    Rig r;
    r.ctl.focus(Vec3(0, 0, 10));
    Vec3 start = r.ctl.eye - r.ctl.pivot;
    r.ctl.zoom(1);
    expectVecNear(r.ctl.eye - r.ctl.pivot, start * 0.96f, 1e-4f);
    expectCameraFollows(r);
    r.ctl.zoom(-10);
    expectVecNear(r.ctl.eye - r.ctl.pivot, start * 0.96f * 1.4f, 1e-3f);

    for (int wheel : {25, 26, 1000}) {  // onto or through the pivot
        SCOPED_TRACE(wheel);
        Rig z;
        Vec3 dir = normalize(z.ctl.eye);
        z.ctl.zoom(wheel);
        expectVecNear(z.ctl.eye, dir * z.camera.nearDistance, 1e-5f);
        expectCameraFollows(z);
        z.ctl.zoom(-5);  // and back out along the same line
        expectVecNear(z.ctl.eye, dir * (z.camera.nearDistance * 1.2f), 1e-5f);
    }

    Rig onPivot(Vec3(0, 0, 0));  // backs away along the view's back axis
    onPivot.ctl.zoom(-1);
    expectVecNear(onPivot.ctl.eye, Vec3(0, 0, 0.1f), 1e-6f);
    expectCameraFollows(onPivot);
}

TEST(CameraController, OrbitFromThePoleOrThePivotStaysFinite) {
    Rig r(Vec3(0, 50, 0));  // straight above: no horizontal direction to turn
    r.ctl.beginOrbit(0, 0);
    for (int dx : {0, 100, -250})
        for (int dy : {-300, -20, 0, 20, 300}) {
            SCOPED_TRACE(testing::Message() << dx << "," << dy);
            r.ctl.orbit(dx, dy);
            EXPECT_NEAR(length(r.ctl.eye), 50.0f, 1e-3f);
            EXPECT_LE(elevation(r.ctl.eye), maxE + 1e-5f);
            expectCameraFollows(r);
        }
    r.ctl.orbit(0, 0);  // settles on the +z side at the limit
    EXPECT_NEAR(elevation(r.ctl.eye), maxE, 1e-5f);
    EXPECT_NEAR(r.ctl.eye.x, 0.0f, 1e-5f);
    EXPECT_GT(r.ctl.eye.z, 0.0f);

    Rig still(Vec3(0, 0, 0));
    still.ctl.beginOrbit(0, 0);
    still.ctl.orbit(123, -45);
    expectCameraFollows(still);
}

namespace {
// Viewport pixel (y down) of a world point.
void pixelOf(const Camera& c, const Vec3& p, float& x, float& y) {
    Vec4 clip = c.viewProjection * Vec4(p, 1.0f);
    x = (clip.x / clip.w * 0.5f + 0.5f) * c.viewportWidth;
    y = (0.5f - clip.y / clip.w * 0.5f) * c.viewportHeight;
}
}  // namespace

TEST(CameraController, PanKeepsThePointUnderTheCursorAndTheViewDirection) {
    Rig r(Vec3(30, 25, 40));
    r.ctl.focus(Vec3(5, -2, 3));
    const Mat4& iv = r.camera.inverseView;
    // A point at the pivot's depth, off to one side and up.
    const Vec3 grabbed = Vec3(5, -2, 3) + Vec3(iv[0], iv[1], iv[2]) * 7.0f + Vec3(iv[4], iv[5], iv[6]) * 4.0f;
    float x0, y0;
    pixelOf(r.camera, grabbed, x0, y0);
    const Vec3 offset = r.ctl.eye - r.ctl.pivot;

    r.ctl.pan(500, 500);  // not panning: nothing happens
    expectVecNear(r.ctl.pivot, Vec3(5, -2, 3), 0.0f);
    r.ctl.beginPan(int(x0), int(y0));
    for (int step : {1, 2}) {
        r.ctl.pan(int(x0) + 37 * step, int(y0) - 21 * step);
        float x, y;
        pixelOf(r.camera, grabbed, x, y);
        EXPECT_NEAR(x, x0 + 37 * step, 0.05f);
        EXPECT_NEAR(y, y0 - 21 * step, 0.05f);
        expectVecNear(r.ctl.eye - r.ctl.pivot, offset, 1e-3f);
        expectCameraFollows(r);
    }
    r.ctl.pan(int(x0), int(y0));  // back at the start: the start view
    expectVecNear(r.ctl.pivot, Vec3(5, -2, 3), 1e-4f);
    r.ctl.endPan();
    r.ctl.pan(0, 0);
    expectVecNear(r.ctl.pivot, Vec3(5, -2, 3), 1e-4f);
}
