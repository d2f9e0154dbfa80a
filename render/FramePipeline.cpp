// The frame: cutaway depth, cell shading with the cut, cut surfaces, depth
// for lines, ghost mask and blur, silhouettes, gizmo ids, composite, gizmo
// overlay and console. Each pass sets the state it needs and leaves its
// target and program unbound; the order of the passes is part of the
// contract, since passes do not restore other state.
#include "app/TorvWindow.h"

#include "app/Platform.h"

#include "geometry/Mesh.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "render/JumpFlood.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"
#include "scene/Transformable.h"
#include "text/CommandConsole.h"

#include <cmath>

namespace {

void bindTexture(int unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

} // namespace

void TorvWindow::drawScreenQuad()
{
    screenQuad.draw();
}

void TorvWindow::render()
{
    Scene& s = *scene;
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_FRONT);

    Vec4 light = camera->view * Vec4(lightPosition.x, lightPosition.y, lightPosition.z, 1.0f);
    Vec3 viewLight(light.x, light.y, light.z);

    passTimer.begin("cutaway");
    FrameBufferObject* floodResult = renderCutawayDepth();
    lastFloodResult = floodResult;

    passTimer.begin("cell");
    renderCellPass(viewLight, floodResult);

    passTimer.begin("cutSurface");
    if (floodResult)
        renderCutSurfacePass(viewLight, floodResult);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    passTimer.begin("depth");
    lineTarget.bind();
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    depthShader.use();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    for (Renderable* r : s.selection)
        r->draw(depthShader);
    for (Renderable* r : s.objects)
        r->draw(depthShader);
    glUseProgram(0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    FrameBufferObject::unbind();

    if (s.lineMode == 1) {
        passTimer.begin("ghost");
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        ghostTarget.bind();
        glViewport(0, 0, ghostTarget.width, ghostTarget.height);
        colorShader.use();
        glClear(GL_COLOR_BUFFER_BIT);
        colorShader.set("color", 1.0f, 1.0f, 1.0f, 1.0f);
        for (Renderable* r : s.selection)
            if (r->canCut)
                r->draw(colorShader);
        FrameBufferObject::unbind();

        // Two halves of a separable blur at the mask's reduced size.
        auto blur = [&](ShaderProgram& program, FrameBufferObject& target, FrameBufferObject& source) {
            target.bind();
            program.use();
            program.set("multiplier", s.ghostMultiplier);
            program.set("invImageSize", 1.0f / target.width, 1.0f / target.height);
            bindTexture(0, source.colorTextures[0]);
            program.set("texture0", 0);
            drawScreenQuad();
            FrameBufferObject::unbind();
        };
        blur(blur1Shader, blurTarget, ghostTarget);
        blur(blur2Shader, ghostTarget, blurTarget);
        glUseProgram(0);
        glViewport(0, 0, renderWidth, renderHeight);
    }

    passTimer.begin("silhouette");
    glDisable(GL_CULL_FACE);
    lineTarget.bind();
    // The first draw reads lineTarget's own depth: detach it while the lines
    // are drawn, so no image is both sampled and attached. Unit 1 is cleared
    // for the same reason (it may hold last frame's line image).
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, 0, 0);
    bindTexture(1, 0);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    silhouetteShader.use();
    // Neighbours pixelScale texels apart: lines keep their width in a picture
    // rendered that much larger.
    silhouetteShader.set("invImageSize", pixelScale / renderWidth, pixelScale / renderHeight);
    silhouetteShader.set("threshold", 0.0004f, 0.001f);
    silhouetteShader.set("depthLogRange", std::log(camera->farDistance / camera->nearDistance));
    if (s.lineMode != 2) {
        bindTexture(0, lineTarget.depthTexture);
        silhouetteShader.set("texture0", 0);
        if (floodResult && s.lineMode == 1) {
            bindTexture(1, ghostTarget.colorTextures[0]);
            silhouetteShader.set("depthMap", 1);
            silhouetteShader.set("useDepthMap", 1);
        } else {
            silhouetteShader.set("useDepthMap", 0);
        }
        drawScreenQuad();
    }
    glEnable(GL_BLEND);
    glBlendEquation(GL_MAX);
    silhouetteShader.set("useDepthMap", 0);
    bindTexture(0, sceneTarget.depthTexture);
    silhouetteShader.set("texture0", 0);
    drawScreenQuad();
    glDisable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glUseProgram(0);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glBindFramebuffer(GL_FRAMEBUFFER, lineTarget.framebuffer);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, lineTarget.depthTexture, 0);
    FrameBufferObject::unbind();

    passTimer.begin("gizmoId");
    sceneTarget.bind();
    const GLenum idOnly = GL_COLOR_ATTACHMENT1;
    glDrawBuffers(1, &idOnly);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    idShader.use();
    if (s.editMode)
        s.gizmo->draw(idShader);
    glUseProgram(0);
    FrameBufferObject::unbind();

    passTimer.begin("combine");
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    combineShader.use();
    bindTexture(0, sceneTarget.colorTextures[0]);
    combineShader.set("texture0", 0);
    bindTexture(1, lineTarget.colorTextures[0]);
    combineShader.set("texture1", 1);
    drawScreenQuad();
    glUseProgram(0);

    passTimer.begin("overlay");
    gizmoShader.use();
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    if (s.editMode)
        s.gizmo->draw(gizmoShader);
    glUseProgram(0);
    glClear(GL_DEPTH_BUFFER_BIT);

    if (console)
        console->draw();
    passTimer.end();
    glActiveTexture(GL_TEXTURE0);
}

FrameBufferObject* TorvWindow::renderCutawayDepth()
{
    if (!seedCutawayDepth())
        return nullptr;
    FrameBufferObject* result = floodCutawayDepth(floodTargets[0], floodTargets[1]);
    glEnable(GL_DEPTH_TEST);
    return result;
}

bool TorvWindow::seedCutawayDepth()
{
    Scene& s = *scene;
    if (s.selection.empty())
        return false;
    if (!dynamic_cast<Transformable*>(*s.selection.begin()))
        return false;
    if (!floodTargets[0].created || !floodTargets[1].created)
        return false;

    prepareFloodTargets(floodTargets[0], floodTargets[1]);
    ShaderProgram& mesh = jumpFlood().meshShader;
    mesh.setMatrix4("invView", camera->inverseView.data());
    mesh.set("edgeCompression", s.edgeMode ? 0.0f : 1.0f);
    mesh.set("directional", s.directionalLight ? 1.0f : 0.0f);

    const float global = s.globalAngle;
    for (Renderable* r : s.selection) {
        if (!r->canCut)
            continue;
        // A NaN local angle fails the test and so also takes the global one.
        float angle = r->localAngle >= 0.0f ? r->localAngle : global;
        mesh.set("maxTheta", maxThetaForAngle(angle));
        r->draw(mesh);
    }
    glUseProgram(0);
    FrameBufferObject::unbind();
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    return true;
}

void TorvWindow::prepareFloodTargets(FrameBufferObject& first, FrameBufferObject& second)
{
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glDepthFunc(GL_GREATER);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);

    second.bind();
    glViewport(0, 0, second.width, second.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FrameBufferObject::unbind();

    first.bind();
    glViewport(0, 0, first.width, first.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    jumpFlood().meshShader.use();
    jumpFlood().meshShader.set("imageSize", static_cast<float>(first.width), static_cast<float>(first.height));
}

void TorvWindow::renderCellPass(const Vec3& viewLight, FrameBufferObject* floodResult)
{
    Scene& s = *scene;
    glViewport(0, 0, renderWidth, renderHeight);
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
    cellShader.set("invImageSize", 1.0f / renderWidth, 1.0f / renderHeight);
    cellShader.set("viewLightPosition", viewLight.x, viewLight.y, viewLight.z);
    if (floodResult) {
        cellShader.set("useDepthMap", 1);
        bindTexture(0, floodResult->depthTexture);
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

void TorvWindow::renderCutSurfacePass(const Vec3& viewLight, FrameBufferObject* floodResult)
{
    Scene& s = *scene;
    // The pass reads the front surfaces' depth while it writes depth into the
    // same target: read a copy instead.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frontDepthCopy.framebuffer);
    glBlitFramebuffer(0, 0, renderWidth, renderHeight, 0, 0, renderWidth, renderHeight, GL_DEPTH_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    glCullFace(GL_FRONT);
    sceneTarget.bind();
    cutSurfaceShader.use();
    cutSurfaceShader.set("viewLightPosition", viewLight.x, viewLight.y, viewLight.z);
    cutSurfaceShader.set("invImageSize", 1.0f / renderWidth, 1.0f / renderHeight);
    cutSurfaceShader.set("hatchScale", pixelScale);
    bindTexture(0, floodResult->depthTexture);
    cutSurfaceShader.set("depthMap", 0);
    bindTexture(1, frontDepthCopy.depthTexture);
    cutSurfaceShader.set("depthFrontFace", 1);
    for (Renderable* r : s.objects)
        r->draw(cutSurfaceShader);
    glUseProgram(0);
    FrameBufferObject::unbind();
    glActiveTexture(GL_TEXTURE0);
}

uint32_t TorvWindow::readObjectId(int x, int y)
{
    // The cursor is in window units; the id image has the framebuffer's pixels.
    platform().windowToFramebuffer(x, y);
    return readObjectIdAtPixel(x, y);
}

uint32_t TorvWindow::readObjectIdAtPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= renderWidth || y >= renderHeight || !sceneTarget.created)
        return 0;
    sceneTarget.bind();
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    GLuint id = 0;
    glReadPixels(x, renderHeight - 1 - y, 1, 1, GL_RED_INTEGER, GL_UNSIGNED_INT, &id);
    FrameBufferObject::unbind();
    glReadBuffer(GL_BACK);
    return id;
}
