#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "math/Camera.h"
#include "math/MathExpect.h"

namespace {
Camera appCamera() { return Camera(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(), 800, 800, 0.1f, 1000, 70); }
bool sameBits(const Mat4& a, const Mat4& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }
Vec3 toNdc(const Camera& c, const Vec3& p) {
    Vec4 clip = c.viewProjection * Vec4(p, 1.0f);
    return xyz(clip) / clip.w;
}
}  // namespace

TEST(Camera, UpdateRebuildsOnlyWhatIsDirty) {
    Camera cam = appCamera();
    EXPECT_FALSE(cam.viewDirty || cam.projectionDirty);
    expectVecNear(cam.inverseView.translation(), cam.eye, 1e-4f);

    const Mat4 marker(7.0f);
    cam.view = cam.inverseView = cam.projection = cam.viewProjection = marker;
    cam.eye = Vec3(10, 10, 10);  // moved without marking: not picked up
    cam.update();
    for (const Mat4* m : {&cam.view, &cam.inverseView, &cam.projection, &cam.viewProjection})
        EXPECT_TRUE(sameBits(*m, marker));

    cam.viewDirty = true;
    cam.update();
    expectVecNear(cam.inverseView.translation(), Vec3(10, 10, 10), 1e-4f);
    EXPECT_TRUE(sameBits(cam.projection, marker));
    expectMatNear(cam.viewProjection, marker * cam.view, 0.0f);

    cam.fovY = 40.0f;
    cam.projectionDirty = true;
    cam.update();
    expectMatNear(cam.projection, perspective(40.0f, 1.0f, 0.1f, 1000.0f), 0.0f);
    expectMatNear(cam.viewProjection, cam.projection * cam.view, 0.0f);
}

TEST(Camera, RayThroughPixelHitsWhatThePixelShows) {
    Camera cam = appCamera();
    Vec3 origin, dir;
    cam.rayThroughPixel(400, 400, origin, dir);
    expectVecNear(origin, cam.eye, 1e-4f);
    // Points ~50 units out, 0.1 apart: float cancellation leaves ~1e-5 relative error.
    expectVecNear(normalize(dir), normalize(cam.target - cam.eye), 1e-4f);
    EXPECT_NEAR(length(dir), cam.nearDistance, 1e-5f);

    // Pixel y grows down, ndc y up; a 2:1 viewport stretches x.
    Camera wide(Vec3(0, 1, 0), Vec3(3, 4, 12), Vec3(1, 0, 0), 800, 400, 0.1f, 100, 60);
    EXPECT_EQ(wide.aspect, 2.0f);
    const float px[][4] = {{0, 0, -1, 1}, {800, 200, 1, 0}, {200, 400, -0.5f, -1}};
    for (const auto& p : px) {
        wide.rayThroughPixel(p[0], p[1], origin, dir);
        Vec3 ndc = toNdc(wide, origin + dir * 50.0f);
        EXPECT_NEAR(ndc.x, p[2], 1e-4f) << p[0] << "," << p[1];
        EXPECT_NEAR(ndc.y, p[3], 1e-4f) << p[0] << "," << p[1];
    }
}

TEST(Camera, DegenerateSetupsStayFinite) {
    // Eye on target and eye overhead are covered by the controller tests.
    Camera cams[] = {
        Camera(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(), 800, 0, 0.1f, 1000, 70),  // no height
        Camera(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(), 800, 800, 5, 5, 70),      // near == far
    };
    for (const Camera& c : cams) {
        EXPECT_TRUE(isFinite(c.view) && isFinite(c.inverseView) && isFinite(c.projection) &&
                    isFinite(c.viewProjection));
        Vec3 origin, dir;
        c.rayThroughPixel(10, 20, origin, dir);
        EXPECT_TRUE(isFinite(origin) && isFinite(dir));
    }

    // A NaN eye keeps the last good view rather than spreading NaN.
    Camera cam = appCamera();
    Mat4 view = cam.view, vp = cam.viewProjection;
    cam.eye = Vec3(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    cam.viewDirty = true;
    cam.update();
    EXPECT_TRUE(sameBits(cam.view, view) && sameBits(cam.viewProjection, vp));
}
