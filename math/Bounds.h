#pragma once

#include "math/Mat.h"

#include <utility>

// Axis-aligned box; starts empty and grows to take in points.
struct Bounds {
    Vec3 min{0.0f, 0.0f, 0.0f};
    Vec3 max{0.0f, 0.0f, 0.0f};
    bool empty = true;

    // Non-finite points are left out: one bad vertex must not swallow the box.
    void extend(const Vec3& p)
    {
        if (!isFinite(p))
            return;
        if (empty) {
            min = max = p;
            empty = false;
            return;
        }
        min = Vec3(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
        max = Vec3(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
    }
    void extend(const Bounds& b)
    {
        if (!b.empty) {
            extend(b.min);
            extend(b.max);
        }
    }
    Vec3 centre() const { return (min + max) * 0.5f; }
    Vec3 corner(int i) const { return Vec3(i & 1 ? max.x : min.x, i & 2 ? max.y : min.y, i & 4 ? max.z : min.z); }

    // The box around this box carried through an affine matrix.
    Bounds transformed(const Mat4& m) const
    {
        Bounds out;
        if (!empty)
            for (int i = 0; i < 8; ++i)
                out.extend(xyz(m * Vec4(corner(i), 1.0f)));
        return out;
    }

    // Ray parameters where origin + t * direction is inside the box, clipped
    // to [tMin, tMax]; false when that range is empty.
    bool rayRange(const Vec3& origin, const Vec3& direction, float& tMin, float& tMax) const
    {
        if (empty)
            return false;
        for (int a = 0; a < 3; ++a) {
            if (direction[a] == 0.0f) {
                if (origin[a] < min[a] || origin[a] > max[a])
                    return false;
                continue;
            }
            float t0 = (min[a] - origin[a]) / direction[a];
            float t1 = (max[a] - origin[a]) / direction[a];
            if (t0 > t1)
                std::swap(t0, t1);
            tMin = std::fmax(tMin, t0);
            tMax = std::fmin(tMax, t1);
            if (tMin > tMax)
                return false;
        }
        return true;
    }
};
