#pragma once
#include "math/Vec.h"

class ShaderProgram;

// What an object sends to the current program besides geometry and matrices.
class Material {
public:
    virtual void apply(ShaderProgram& program) = 0;

protected:
    ~Material() = default;
};

// One colour, sent as the uniform "color"; values above 1 pass unclamped
// (selection brightens with 1.4).
class ColorMaterial : public Material {
public:
    void apply(ShaderProgram& program) override;
    Vec3 color{1.0f, 1.0f, 1.0f};
};
