#include "scene/MeshInstance.h"

#include "geometry/Mesh.h"
#include "geometry/TextureArray.h"
#include "gl/ShaderProgram.h"

MeshInstance::MeshInstance(Mesh* m) : mesh(m) {}

void setObjectUniforms(ShaderProgram& program, const Mat4& modelView, unsigned int id)
{
    program.setMatrix4("modelView", modelView.data());
    // The plain upper-left block, not the inverse transpose: uniform scales
    // only, so the direction of a normal survives.
    Mat3 normalMatrix(modelView);
    program.setMatrix3("normalMatrix", normalMatrix.data());
    program.set("colorID", static_cast<unsigned int>(id));
}

void MeshInstance::draw(ShaderProgram& program)
{
    setObjectUniforms(program, modelViewMatrix, id);
    material.apply(program);
    if (mesh) {
        bindBaseColorMap(program, mesh->baseColorMap.get());
        mesh->draw();
    }
}
