#pragma once
#include "math/Mat.h"
#include "math/Vec.h"

// A node's own transformation, composed with its parent's every frame.
class Transform {
public:
    virtual ~Transform() = default;
    virtual Mat4 compose(const Mat4& parent, float parentScale, float& outScale) = 0;
    virtual void recompute() = 0;
};

class IdentityTransform : public Transform {
public:
    Mat4 compose(const Mat4& parent, float parentScale, float& outScale) override
    {
        outScale = parentScale;
        return parent;
    }
    void recompute() override {}
};

// The one identity every node starts with; never freed.
IdentityTransform& sharedIdentityTransform();

// Uniform scale, then rotations about x, y, z (radians), then translation.
class SRTTransform : public Transform {
public:
    Mat4 compose(const Mat4& parent, float parentScale, float& outScale) override;
    void recompute() override;

    float scale = 1.0f;
    float rotation[3] = {0.0f, 0.0f, 0.0f};
    Vec3 translation{0.0f, 0.0f, 0.0f};
    Mat4 localMatrix;
};
