// Framing: the camera keeps its direction and comes to rest where the points
// just fit, within the near and far planes.
#include "math/Camera.h"
#include "math/Framing.h"
#include "math/MathExpect.h"

#include <algorithm>
#include <cmath>

namespace {

Camera appCamera() { return Camera(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(), 800, 800, 0.1f, 1000, 70); }

// The eight corners of a box of half size h about c, and a point in the middle.
std::vector<Vec3> boxPoints(const Vec3& c, float h)
{
    std::vector<Vec3> p = {c};
    for (int i = 0; i < 8; ++i)
        p.push_back(c + Vec3(i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h));
    return p;
}

Vec3 viewDirection(const Camera& c) { return normalize(c.target - c.eye); }

// Moves the camera as the fit says and returns, over all points, the largest
// |ndc x| or |ndc y| and the nearest and farthest eye-space depth.
void applyAndMeasure(Camera& cam, const ViewFit& fit, const std::vector<Vec3>& points, float& extent,
                     float& nearest, float& farthest)
{
    cam.eye = fit.eye;
    cam.target = fit.pivot;
    cam.viewDirty = true;
    cam.update();
    extent = 0;
    nearest = 1e30f;
    farthest = 0;
    for (const Vec3& p : points) {
        Vec4 clip = cam.viewProjection * Vec4(p, 1.0f);
        extent = std::max({extent, std::fabs(clip.x / clip.w), std::fabs(clip.y / clip.w)});
        float depth = -xyz(cam.view * Vec4(p, 1.0f)).z;
        nearest = std::min(nearest, depth);
        farthest = std::max(farthest, depth);
    }
}

} // namespace

TEST(Framing, PivotToTheBoxCentreEyeAlongTheSameDirectionJustFitting)
{
    Camera cam = appCamera();
    const Vec3 before = viewDirection(cam);
    const std::vector<Vec3> points = boxPoints(Vec3(40, -5, 3), 6);
    ViewFit fit;
    ASSERT_TRUE(fitView(points, cam, 0.1f, 0.1f, fit));
    expectVecNear(fit.pivot, Vec3(40, -5, 3), 1e-4f);
    EXPECT_NEAR(length(fit.eye - fit.pivot), fit.distance, 1e-3f);

    float extent, nearest, farthest;
    applyAndMeasure(cam, fit, points, extent, nearest, farthest);
    expectVecNear(viewDirection(cam), before, 1e-5f);
    // Inside the window less the margin, and touching it: no closer fit exists.
    EXPECT_LE(extent, 0.9f + 1e-4f);
    EXPECT_GE(extent, 0.9f - 1e-3f);

    // A wide window fits the same points closer than a square one.
    Camera wide(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(), 1600, 800, 0.1f, 1000, 70);
    ViewFit wideFit;
    ASSERT_TRUE(fitView(points, wide, 0.1f, 0.1f, wideFit));
    EXPECT_LE(wideFit.distance, fit.distance);

    // Nothing finite to frame: the camera stays.
    EXPECT_FALSE(fitView({}, cam, 0.1f, 0.1f, fit));
    EXPECT_FALSE(fitView({Vec3(NAN, 0, 0)}, cam, 0.1f, 0.1f, fit));
}

TEST(Framing, FarTooLargeAndFarTooSmallModelsStayBetweenTheClipPlanes)
{
    // Far larger than the view from the start camera, yet it fits before the far plane.
    Camera cam = appCamera();
    std::vector<Vec3> huge = boxPoints(Vec3(100, 0, 0), 200);
    ViewFit fit;
    ASSERT_TRUE(fitView(huge, cam, 0.1f, 0.1f, fit));
    float extent, nearest, farthest;
    applyAndMeasure(cam, fit, huge, extent, nearest, farthest);
    EXPECT_LT(farthest, cam.farDistance) << "the whole model stays before the far plane";
    EXPECT_LE(extent, 0.9f + 1e-3f);

    // Deeper than the far plane allows whole: the eye still stays within reach.
    cam = appCamera();
    std::vector<Vec3> tooDeep = boxPoints(Vec3(), 2000);
    ASSERT_TRUE(fitView(tooDeep, cam, 0.1f, 0.1f, fit));
    EXPECT_LT(fit.distance, cam.farDistance);
    EXPECT_GT(fit.distance, cam.nearDistance);

    // A speck far smaller than the near distance: the near plane comes in
    // before it, and it fills the window like any other model.
    cam = appCamera();
    std::vector<Vec3> speck = boxPoints(Vec3(0.3f, 0.01f, -0.2f), 0.0004f);
    ASSERT_TRUE(fitView(speck, cam, 0.1f, 0.1f, fit));
    ASSERT_LT(fit.nearDistance, 0.1f);
    cam.nearDistance = fit.nearDistance;
    cam.projectionDirty = true;
    applyAndMeasure(cam, fit, speck, extent, nearest, farthest);
    EXPECT_GT(nearest, fit.nearDistance);
    EXPECT_LE(extent, 0.9f + 1e-3f);
    EXPECT_GE(extent, 0.9f - 1e-3f);
    // Framing something of ordinary size afterwards restores the usual near distance.
    ASSERT_TRUE(fitView(boxPoints(Vec3(), 5), cam, 0.1f, 0.1f, fit));
    EXPECT_EQ(fit.nearDistance, 0.1f);
}
