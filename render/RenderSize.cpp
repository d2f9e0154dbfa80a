// The render size: every target the frame draws into, the camera's aspect and
// the projection uniforms follow the framebuffer's size, which the window
// system may change at any time (window managers that ignore the fixed-size
// hint, scaled screens whose framebuffers are larger than their windows).
#include "app/Platform.h"
#include "app/TorvWindow.h"
#include "math/Camera.h"
#include "render/JumpFlood.h"
#include "text/CommandConsole.h"

void TorvWindow::createRenderTargets()
{
    for (FrameBufferObject* t : {&lineTarget, &sceneTarget, &ghostTarget, &blurTarget, &frontDepthCopy})
        t->release();

    FrameBufferDesc full;
    full.width = renderWidth;
    full.height = renderHeight;
    full.depthFormat = GL_DEPTH_COMPONENT;
    full.depthInternalFormat = GL_DEPTH_COMPONENT32;
    full.depthType = GL_UNSIGNED_INT;
    full.wrap = GL_CLAMP_TO_EDGE;

    FrameBufferDesc line = full;
    line.colorCount = 1;
    line.colorFormats = {GL_RED};
    line.colorInternalFormats = {GL_R8};
    lineTarget.create(line);

    FrameBufferDesc sceneDesc = full;
    sceneDesc.colorCount = 2;
    sceneDesc.colorFormats = {GL_RGBA, GL_RED_INTEGER};
    sceneDesc.colorInternalFormats = {GL_RGBA8, GL_R32UI};
    sceneTarget.create(sceneDesc);
    // Until the first frame is drawn at this size, picking finds nothing.
    if (sceneTarget.created) {
        const GLuint noObject[4] = {0, 0, 0, 0};
        glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
        glClearBufferuiv(GL_COLOR, 1, noObject);
        FrameBufferObject::unbind();
    }

    // The ghost mask keeps a height of 200 texels, its width in proportion.
    FrameBufferDesc ghost;
    ghost.width = static_cast<int>(renderWidth * 200.0 / renderHeight);
    ghost.height = 200;
    ghost.depthFormat = GL_DEPTH_COMPONENT;
    ghost.depthInternalFormat = GL_DEPTH_COMPONENT16;
    ghost.depthType = GL_UNSIGNED_INT;
    ghost.colorCount = 1;
    ghost.colorFormats = {GL_RED};
    ghost.colorInternalFormats = {GL_R8};
    ghost.colorMinFilter = GL_NEAREST;
    ghost.colorMagFilter = GL_LINEAR;
    ghost.wrap = GL_CLAMP_TO_EDGE;
    ghostTarget.create(ghost);
    blurTarget.create(ghost);

    frontDepthCopy.create(full);
}

void TorvWindow::setProjectionUniforms()
{
    for (ShaderProgram* p : {&cellShader, &depthShader, &jumpFlood().meshShader, &cutSurfaceShader, &idShader,
                             &gizmoShader, &colorShader}) {
        p->use();
        p->setMatrix4("perspective", camera->projection.data());
        p->set("farPlane", farPlane);
        glUseProgram(0);
    }
}

void TorvWindow::followFramebufferSize()
{
    int w = 0, h = 0;
    platform().framebufferSize(w, h);
    // A minimised window has no pixels; keep the last size until it returns.
    if (w <= 0 || h <= 0 || (w == renderWidth && h == renderHeight))
        return;
    resizeRendering(w, h);
}

void TorvWindow::resizeRendering(int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    renderWidth = w;
    renderHeight = h;

    floodTargets[1].release();
    floodTargets[0].release();
    createFloodTargets(floodTargets, renderWidth, renderHeight);
    createRenderTargets();

    // The vertical field of view stays; the picture widens or narrows.
    camera->viewportWidth = renderWidth;
    camera->viewportHeight = renderHeight;
    camera->aspect = static_cast<float>(renderWidth) / static_cast<float>(renderHeight);
    camera->projectionDirty = true;
    camera->update();
    setProjectionUniforms();

    glViewport(0, 0, renderWidth, renderHeight);
    if (console)
        console->layoutLines();
}
