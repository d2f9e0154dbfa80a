// The last passes: gizmo ids over the object ids, the composite of colour and
// lines onto the white window, and the gizmo overlay.
#include "render/Renderer.h"

#include "interaction/Gizmo.h"
#include "scene/Scene.h"

void Renderer::gizmoIdPass(const Frame& f)
{
    sceneTarget.bind();
    const GLenum idOnly = GL_COLOR_ATTACHMENT1;
    glDrawBuffers(1, &idOnly);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (f.scene.editMode) {
        idShader.use();
        f.scene.gizmo->draw(idShader);
        glUseProgram(0);
    }
    FrameBufferObject::unbind();
}

void Renderer::combinePass()
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    combineShader.use();
    bindTexture(0, sceneTarget.colorTextures[0]);
    combineShader.set("texture0", 0);
    bindTexture(1, lineTarget.colorTextures[0]);
    combineShader.set("texture1", 1);
    drawScreenQuad();
    glUseProgram(0);
}

void Renderer::overlayPass(const Frame& f)
{
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    if (f.scene.editMode) {
        gizmoShader.use();
        f.scene.gizmo->draw(gizmoShader);
        glUseProgram(0);
    }
    glClear(GL_DEPTH_BUFFER_BIT);
}
