#pragma once

#include "math/Vec.h"

// Column-major (element = column * 4 + row), uploaded to GL untransposed.
// Matrices multiply column vectors: v' = M * v.
struct Mat4 {
    float m[16];

    Mat4();                       // identity
    explicit Mat4(float s);       // s on the diagonal; 0 gives the zero matrix
    explicit Mat4(int n);
    Mat4(const Vec4& c0, const Vec4& c1, const Vec4& c2, const Vec4& c3);

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    const float* data() const { return m; }
    float* data() { return m; }

    Mat4& operator/=(float d);
    Mat4 operator*(const Mat4& b) const;
    Vec4 operator*(const Vec4& v) const;

    Vec3 translation() const { return Vec3(m[12], m[13], m[14]); }
};

// Column-major (element = column * 3 + row); the upper-left block of a Mat4,
// used as the normal matrix.
struct Mat3 {
    float m[9];

    Mat3();                       // identity
    explicit Mat3(const Mat4& a);

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    const float* data() const { return m; }
    float* data() { return m; }
};

bool isFinite(const Mat4& a);

// View matrix. Degenerate input still gives an orthonormal frame: with eye ==
// target the camera looks down -z, and when the view direction is parallel to
// up (or up is zero) the right axis is world x made perpendicular to the view
// direction (world z if looking along x) -- the frame an orbit reaches when it
// approaches the pole from the +z side.
Mat4 lookAt(const Vec3& eye, const Vec3& target, const Vec3& up);

// Parameters that make the matrix non-finite (near == far, a zero field of
// view or near distance, a zero aspect) give the identity instead.
Mat4 perspective(float fovYDegrees, float aspect, float nearD, float farD);

// Cofactor inverse. A singular matrix (or one whose inverse overflows) gives
// the identity, so a bad transform cannot poison later frames with NaN.
Mat4 inverse(const Mat4& a);
