// The shading passes: the cell pass draws the scene with the cut into
// sceneTarget (colour and object ids), the cut-surface pass adds the inner
// surfaces the cut lays open.
#include "render/Renderer.h"

#include "scene/Renderable.h"
#include "scene/Scene.h"

void Renderer::cellPass(const Frame& f)
{
    Scene& s = f.scene;
    glViewport(0, 0, frameWidth, frameHeight);
    sceneTarget.bind();
    // Colour to white, ids to 0 (no object) and depth to the far end. The id
    // attachment is an unsigned-integer image, which only the integer clear
    // defines.
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLuint noObject[4] = {0, 0, 0, 0};
    glClearBufferfv(GL_COLOR, 0, white);
    glClearBufferuiv(GL_COLOR, 1, noObject);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);

    cellShader.use();
    cellShader.set("invImageSize", 1.0f / frameWidth, 1.0f / frameHeight);
    cellShader.set("viewLightPosition", f.viewLight.x, f.viewLight.y, f.viewLight.z);
    if (f.flood) {
        cellShader.set("useDepthMap", 1);
        bindTexture(0, f.flood->depthTexture);
        cellShader.set("depthMap", 0);
    } else {
        cellShader.set("useDepthMap", 0);
        // The unit may still hold last frame's picture, an image of this very
        // target: nothing the program can sample may be attached here.
        bindTexture(0, 0);
    }
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthFunc(GL_LESS);

    for (Renderable* r : s.objects)
        if (r->canBeCut)
            r->draw(cellShader);
    cellShader.set("useDepthMap", 0);
    for (Renderable* r : s.selection)
        r->draw(cellShader);
    for (Renderable* r : s.objects)
        if (!r->canBeCut)
            r->draw(cellShader);
    FrameBufferObject::unbind();
    glUseProgram(0);
}

void Renderer::cutSurfacePass(const Frame& f)
{
    // The pass reads the front surfaces' depth while it writes depth into the
    // same target: read a copy instead (of the cut region, where it draws).
    copyDepth(sceneTarget, frontDepthCopy, f.cut);

    sceneTarget.bind();
    drawCutSurfaces(f);
    FrameBufferObject::unbind();
}

void Renderer::drawCutSurfaces(const Frame& f)
{
    // Beyond the cut region no surface lies nearer than the cut depth there,
    // so no back face is exposed.
    if (!scissorTo(f.cut))
        return;
    glCullFace(GL_FRONT);
    cutSurfaceShader.use();
    cutSurfaceShader.set("viewLightPosition", f.viewLight.x, f.viewLight.y, f.viewLight.z);
    cutSurfaceShader.set("invImageSize", 1.0f / frameWidth, 1.0f / frameHeight);
    cutSurfaceShader.set("hatchScale", pixelScale);
    bindTexture(0, f.flood->depthTexture);
    cutSurfaceShader.set("depthMap", 0);
    bindTexture(1, frontDepthCopy.depthTexture);
    cutSurfaceShader.set("depthFrontFace", 1);
    for (Renderable* r : f.scene.objects)
        if (mayDrawInto(r, f.camera, frameWidth, frameHeight, f.cut))
            r->draw(cutSurfaceShader);
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_SCISSOR_TEST);
}
