#include "math/Mat.h"

#include <cmath>

Mat4::Mat4() : Mat4(1.0f) {}

Mat4::Mat4(float s) {
    for (int i = 0; i < 16; ++i) m[i] = 0.0f;
    m[0] = m[5] = m[10] = m[15] = s;
}

Mat4::Mat4(int n) : Mat4(static_cast<float>(n)) {}

Mat4::Mat4(const Vec4& c0, const Vec4& c1, const Vec4& c2, const Vec4& c3) {
    const Vec4* cols[4] = {&c0, &c1, &c2, &c3};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) m[c * 4 + r] = (*cols[c])[r];
}

Mat4& Mat4::operator/=(float d) {
    for (float& e : m) e /= d;
    return *this;
}

Mat4 Mat4::operator*(const Mat4& b) const {
    Mat4 out(0.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += m[k * 4 + r] * b.m[c * 4 + k];
            out.m[c * 4 + r] = sum;
        }
    return out;
}

Vec4 Mat4::operator*(const Vec4& v) const {
    Vec4 out;
    for (int r = 0; r < 4; ++r) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += m[k * 4 + r] * v[k];
        out[r] = sum;
    }
    return out;
}

Mat3::Mat3() {
    for (int i = 0; i < 9; ++i) m[i] = 0.0f;
    m[0] = m[4] = m[8] = 1.0f;
}

Mat3::Mat3(const Mat4& a) {
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) m[c * 3 + r] = a.m[c * 4 + r];
}

bool isFinite(const Mat4& a) {
    for (float e : a.m)
        if (!std::isfinite(e)) return false;
    return true;
}

Mat4 lookAt(const Vec3& eye, const Vec3& target, const Vec3& up) {
    // Below this |f x u| (the sine of the angle between view direction and up)
    // the cross product is mostly rounding noise and s would not be
    // perpendicular to f.
    const float parallelLimit = 1e-4f;

    Vec3 f = normalize(target - eye);
    if (length(f) == 0.0f) f = Vec3(0.0f, 0.0f, -1.0f);
    Vec3 u = normalize(up);

    Vec3 s = cross(f, u);
    if (length(s) < parallelLimit) {
        s = cross(f, Vec3(0.0f, 1.0f, 0.0f));
        if (length(s) < parallelLimit) s = Vec3(1.0f, 0.0f, 0.0f) - f * f.x;
    }
    s = normalize(s);
    Vec3 u2 = cross(s, f);

    Mat4 v;
    v.m[0] = s.x;   v.m[4] = s.y;   v.m[8] = s.z;
    v.m[1] = u2.x;  v.m[5] = u2.y;  v.m[9] = u2.z;
    v.m[2] = -f.x;  v.m[6] = -f.y;  v.m[10] = -f.z;
    v.m[3] = 0.0f;  v.m[7] = 0.0f;  v.m[11] = 0.0f;
    v.m[12] = -dot(s, eye);
    v.m[13] = -dot(u2, eye);
    v.m[14] = dot(f, eye);
    v.m[15] = 1.0f;
    return v;
}

Mat4 perspective(float fovYDegrees, float aspect, float nearD, float farD) {
    // pi / 180 rounded to single precision.
    float top = std::tan(fovYDegrees * 0.5f * 0.017453293f) * nearD;
    float bottom = -top;

    Mat4 p(0.0f);
    p.m[0] = 2.0f * nearD / (aspect * top - aspect * bottom);
    p.m[5] = 2.0f * nearD / (top - bottom);
    p.m[10] = -(farD + nearD) / (farD - nearD);
    p.m[11] = -1.0f;
    p.m[14] = -(2.0f * farD * nearD) / (farD - nearD);
    if (!isFinite(p)) return Mat4();
    return p;
}

Mat4 inverse(const Mat4& m4) {
    const float* m = m4.m;
    // a(r, c) in row/column terms over the column-major storage.
    auto a = [m](int r, int c) { return m[c * 4 + r]; };

    // 2x2 sub-determinants of rows 0-1 and of rows 2-3.
    float s0 = a(0, 0) * a(1, 1) - a(1, 0) * a(0, 1);
    float s1 = a(0, 0) * a(1, 2) - a(1, 0) * a(0, 2);
    float s2 = a(0, 0) * a(1, 3) - a(1, 0) * a(0, 3);
    float s3 = a(0, 1) * a(1, 2) - a(1, 1) * a(0, 2);
    float s4 = a(0, 1) * a(1, 3) - a(1, 1) * a(0, 3);
    float s5 = a(0, 2) * a(1, 3) - a(1, 2) * a(0, 3);

    float c0 = a(2, 0) * a(3, 1) - a(3, 0) * a(2, 1);
    float c1 = a(2, 0) * a(3, 2) - a(3, 0) * a(2, 2);
    float c2 = a(2, 0) * a(3, 3) - a(3, 0) * a(2, 3);
    float c3 = a(2, 1) * a(3, 2) - a(3, 1) * a(2, 2);
    float c4 = a(2, 1) * a(3, 3) - a(3, 1) * a(2, 3);
    float c5 = a(2, 2) * a(3, 3) - a(3, 2) * a(2, 3);

    float b[4][4];  // adjugate, b[row][column]
    b[0][0] = a(1, 1) * c5 - a(1, 2) * c4 + a(1, 3) * c3;
    b[0][1] = -a(0, 1) * c5 + a(0, 2) * c4 - a(0, 3) * c3;
    b[0][2] = a(3, 1) * s5 - a(3, 2) * s4 + a(3, 3) * s3;
    b[0][3] = -a(2, 1) * s5 + a(2, 2) * s4 - a(2, 3) * s3;

    b[1][0] = -a(1, 0) * c5 + a(1, 2) * c2 - a(1, 3) * c1;
    b[1][1] = a(0, 0) * c5 - a(0, 2) * c2 + a(0, 3) * c1;
    b[1][2] = -a(3, 0) * s5 + a(3, 2) * s2 - a(3, 3) * s1;
    b[1][3] = a(2, 0) * s5 - a(2, 2) * s2 + a(2, 3) * s1;

    b[2][0] = a(1, 0) * c4 - a(1, 1) * c2 + a(1, 3) * c0;
    b[2][1] = -a(0, 0) * c4 + a(0, 1) * c2 - a(0, 3) * c0;
    b[2][2] = a(3, 0) * s4 - a(3, 1) * s2 + a(3, 3) * s0;
    b[2][3] = -a(2, 0) * s4 + a(2, 1) * s2 - a(2, 3) * s0;

    b[3][0] = -a(1, 0) * c3 + a(1, 1) * c1 - a(1, 2) * c0;
    b[3][1] = a(0, 0) * c3 - a(0, 1) * c1 + a(0, 2) * c0;
    b[3][2] = -a(3, 0) * s3 + a(3, 1) * s1 - a(3, 2) * s0;
    b[3][3] = a(2, 0) * s3 - a(2, 1) * s1 + a(2, 2) * s0;

    // First row of the adjugate times the first column of the matrix.
    float det = 0.0f;
    for (int k = 0; k < 4; ++k) det += b[0][k] * a(k, 0);
    if (det == 0.0f || !std::isfinite(det)) return Mat4();

    Mat4 out;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) out.m[c * 4 + r] = b[r][c];
    out /= det;
    if (!isFinite(out)) return Mat4();
    return out;
}
