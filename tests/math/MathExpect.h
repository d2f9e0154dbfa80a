#pragma once

#include <gtest/gtest.h>

#include "math/Mat.h"

inline void expectVecNear(const Vec3& a, const Vec3& b, float tol = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

inline void expectMatNear(const Mat4& a, const Mat4& b, float tol) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], tol) << "element " << i;
}

// A view matrix: right-handed orthonormal rotation block, last row (0, 0, 0, 1).
inline void expectRotationBlock(const Mat4& v) {
    ASSERT_TRUE(isFinite(v));
    Vec3 s(v[0], v[4], v[8]), u(v[1], v[5], v[9]), b(v[2], v[6], v[10]);
    EXPECT_NEAR(length(s), 1.0f, 1e-5f);
    EXPECT_NEAR(length(u), 1.0f, 1e-5f);
    expectVecNear(cross(s, u), b, 1e-5f);
    EXPECT_TRUE(v[3] == 0.0f && v[7] == 0.0f && v[11] == 0.0f && v[15] == 1.0f);
}

inline Vec3 transformPoint(const Mat4& m, const Vec3& p) { return xyz(m * Vec4(p, 1.0f)); }
