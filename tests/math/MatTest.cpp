#include <gtest/gtest.h>

#include <random>

#include "math/MathExpect.h"

namespace {
Mat4 translateScale(float t, float sx, float sy, float sz) {
    return Mat4(Vec4(sx, 0, 0, 0), Vec4(0, sy, 0, 0), Vec4(0, 0, sz, 0), Vec4(t, t, t, 1));
}
}  // namespace

TEST(Mat4, LayoutConstructorsAndProductOrder) {
    expectVecNear(cross(Vec3(1, 0, 0), Vec3(0, 1, 0)), Vec3(0, 0, 1), 0.0f);
    expectVecNear(normalize(Vec3()), Vec3(), 0.0f);

    Mat4 cols(Vec4(0, 1, 2, 3), Vec4(4, 5, 6, 7), Vec4(8, 9, 10, 11), Vec4(12, 13, 14, 15));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(cols.data()[i], static_cast<float>(i));
    expectVecNear(cols.translation(), Vec3(12, 13, 14), 0.0f);
    expectMatNear(Mat4(0), Mat4(0.0f) * Mat4(), 0.0f);
    EXPECT_EQ(Mat4(2.5f)[10], 2.5f);
    EXPECT_EQ(Mat4(2.5f)[1], 0.0f);

    // T * S scales first: (1,1,1) -> (2,3,4) -> (3,4,5); S * T translates first.
    Mat4 t = translateScale(1, 1, 1, 1), s = translateScale(0, 2, 3, 4);
    expectVecNear(transformPoint(t * s, Vec3(1, 1, 1)), Vec3(3, 4, 5), 0.0f);
    expectVecNear(transformPoint(s * t, Vec3(1, 1, 1)), Vec3(4, 6, 8), 0.0f);

    // The normal matrix is the plain block, shear included, not the inverse transpose.
    Mat4 m = translateScale(7, 2, 3, 4);
    m[4] = 0.5f;
    Mat3 n(m);
    EXPECT_TRUE(n[0] == 2.0f && n[3] == 0.5f && n[1] == 0.0f && n[4] == 3.0f && n[8] == 4.0f);
}

TEST(LookAt, MapsEyeToOriginAndTargetDownNegativeZEvenWhenDegenerate) {
    const Vec3 cases[][3] = {
        {Vec3(0, 20, 50), Vec3(), Vec3(0, 1, 0)},
        {Vec3(1, 2, 3), Vec3(1, 2, 3), Vec3(0, 1, 0)},  // eye on target
        {Vec3(0, 50, 0), Vec3(), Vec3(0, 1, 0)},        // straight down
        {Vec3(0, -50, 0), Vec3(), Vec3(0, 1, 0)},       // straight up
        {Vec3(1e-6f, 50, 0), Vec3(), Vec3(0, 1, 0)},    // nearly straight down
        {Vec3(0, 0, 5), Vec3(), Vec3()},                // zero up
        {Vec3(5, 0, 0), Vec3(), Vec3(1, 0, 0)},         // along x with up x
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0].x << "," << c[0].y << "," << c[0].z);
        Mat4 v = lookAt(c[0], c[1], c[2]);
        expectRotationBlock(v);
        expectVecNear(transformPoint(v, c[0]), Vec3(), 1e-4f);
        expectVecNear(transformPoint(v, c[1]), Vec3(0, 0, -length(c[1] - c[0])), 1e-4f);
    }
    Mat4 v = lookAt(Vec3(0, 20, 50), Vec3(), Vec3(0, 1, 0));
    EXPECT_GT(transformPoint(v, Vec3(0, 5, 0)).y, 0.0f);  // up stays up
    EXPECT_GT(transformPoint(v, Vec3(5, 0, 0)).x, 0.0f);  // +x to the right
    // Straight down, screen up is -z: where an orbit from the +z side arrives.
    EXPECT_GT(transformPoint(lookAt(Vec3(0, 50, 0), Vec3(), Vec3(0, 1, 0)), Vec3(0, 0, -5)).y, 0.0f);
}

TEST(Perspective, MapsTheFrustumOntoTheNdcCube) {
    Mat4 p = perspective(70, 2, 0.1f, 1000);
    EXPECT_EQ(p[11], -1.0f);
    EXPECT_EQ(p[15], 0.0f);
    auto ndc = [&p](Vec3 e) { Vec4 c = p * Vec4(e, 1.0f); return xyz(c) / c.w; };
    EXPECT_NEAR(ndc(Vec3(0, 0, -0.1f)).z, -1.0f, 1e-5f);
    EXPECT_NEAR(ndc(Vec3(0, 0, -1000)).z, 1.0f, 1e-5f);
    float t = std::tan(35.0f * 3.14159265f / 180.0f);  // half of 70 degrees
    EXPECT_NEAR(ndc(Vec3(0, 10 * t, -10)).y, 1.0f, 1e-5f);
    EXPECT_NEAR(ndc(Vec3(20 * t, 0, -10)).x, 1.0f, 1e-5f);

    // near == far, zero field of view, zero aspect, zero near: identity.
    for (Mat4 bad : {perspective(70, 1, 5, 5), perspective(0, 1, 0.1f, 9), perspective(70, 0, 0.1f, 9),
                     perspective(70, 1, 0, 9)})
        expectMatNear(bad, Mat4(), 0.0f);
}

TEST(Inverse, UndoesLookAtAndRandomMatricesAndGivesIdentityWhenSingular) {
    Mat4 v = lookAt(Vec3(0, 20, 50), Vec3(), Vec3(0, 1, 0));
    expectVecNear(inverse(v).translation(), Vec3(0, 20, 50), 1e-4f);

    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> d(-2.0f, 2.0f);
    for (int n = 0; n < 50; ++n) {
        Mat4 m(0);
        for (float& e : m.m) e = d(rng);
        bool affine = n % 2 == 0;
        if (affine) {  // world-sized translation, well-conditioned block
            m[0] += 3.0f, m[5] += 3.0f, m[10] += 3.0f;
            m[3] = m[7] = m[11] = 0.0f;
            m[15] = 1.0f;
            m[12] *= 50.0f;
        }
        SCOPED_TRACE(n);
        // Affine: a translation near 100 leaves ~1e-5 of rounding. General:
        // random 4x4s can be poorly conditioned.
        float tol = affine ? 1e-4f : 1e-3f;
        expectMatNear(inverse(m) * m, Mat4(), tol);
        expectMatNear(m * inverse(m), Mat4(), tol);
    }

    Mat4 dupColumns(Vec4(1, 2, 3, 0), Vec4(1, 2, 3, 0), Vec4(0, 0, 1, 0), Vec4(4, 5, 6, 1));
    // Zero, rank-deficient, determinant underflowing, inverse overflowing.
    for (Mat4 m : {Mat4(0), translateScale(0, 1, 0, 1), dupColumns, translateScale(0, 1e-30f, 1e-30f, 1e-30f),
                   translateScale(0, 1e-39f, 1, 1)})
        expectMatNear(inverse(m), Mat4(), 0.0f);
}
