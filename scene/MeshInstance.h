#pragma once
#include "geometry/Material.h"
#include "scene/Identifiable.h"
#include "scene/Renderable.h"
#include "scene/Transformable.h"

class Mesh;

// A placed model: shares its Mesh with every other instance of the model,
// owns its colour and receives its model-view matrix from its node.
class MeshInstance : public Transformable, public Renderable, public Identifiable {
public:
    explicit MeshInstance(Mesh* mesh);

    void setModelView(const Mat4& m) override { modelViewMatrix = m; }
    Mat4 modelView() const override { return modelViewMatrix; }

    void draw(ShaderProgram& program) override;
    void onSelect() override { material.color = Vec3(1.4f, 1.4f, 1.4f); }
    void onDeselect() override { material.color = Vec3(1.0f, 1.0f, 1.0f); }

    Mesh* mesh;
    ColorMaterial material;
    Mat4 modelViewMatrix;
};

// The per-object uniforms every object pass shares.
void setObjectUniforms(ShaderProgram& program, const Mat4& modelView, unsigned int id);
