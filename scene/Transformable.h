#pragma once
#include "math/Mat.h"

class SceneNode;

// Something placed by a scene node, which hands down its matrix every frame.
class Transformable {
public:
    virtual ~Transformable() = default;
    virtual void setModelView(const Mat4& m) = 0;
    virtual Mat4 modelView() const = 0;

    SceneNode* node = nullptr;
};
