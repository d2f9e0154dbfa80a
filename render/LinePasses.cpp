// The line passes: the uncut depth of every object, the ghost mode's blurred
// cutter mask, and the silhouettes of the uncut and the cut scene merged
// into lineTarget's colour.
#include "render/Renderer.h"

#include "math/Camera.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"

#include <cmath>

// The uncut depth is read only by the first silhouette draw, and without a
// cut it equals the depth the cell pass left in sceneTarget: the objects are
// then drawn no second time (the silhouette pass reads sceneTarget instead).
// With a cut it still equals it outside the cut region, where nothing was
// cut away: only the region is drawn again.
bool Renderer::needsUncutDepth(const Frame& f)
{
    return f.flood && f.scene.lineMode != LineMode::Off && !f.cut.empty();
}

void Renderer::depthPass(const Frame& f)
{
    lineTarget.bind();
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!needsUncutDepth(f)) {
        FrameBufferObject::unbind();
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget.framebuffer);
    glBlitFramebuffer(0, 0, frameWidth, frameHeight, 0, 0, frameWidth, frameHeight, GL_DEPTH_BUFFER_BIT,
                      GL_NEAREST);
    scissorTo(f.cut);
    glClear(GL_DEPTH_BUFFER_BIT);
    depthShader.use();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    for (Renderable* r : f.scene.selection)
        r->draw(depthShader);
    for (Renderable* r : f.scene.objects)
        r->draw(depthShader);
    glUseProgram(0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    FrameBufferObject::unbind();
}

void Renderer::ghostPass(const Frame& f)
{
    Scene& s = f.scene;
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
    glViewport(0, 0, frameWidth, frameHeight);
}

void Renderer::silhouettePass(const Frame& f)
{
    const Scene& s = f.scene;
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
    silhouetteShader.set("invImageSize", 1.0f / frameWidth, 1.0f / frameHeight);
    silhouetteShader.set("lineScale", pixelScale);
    silhouetteShader.set("threshold", 0.0004f, 0.001f);
    silhouetteShader.set("depthLogRange", std::log(f.camera.farDistance / f.camera.nearDistance));
    // Without a cut the first draw would repeat the second (needsUncutDepth).
    if (needsUncutDepth(f)) {
        bindTexture(0, lineTarget.depthTexture);
        silhouetteShader.set("texture0", 0);
        if (f.flood && s.lineMode == LineMode::Ghost) {
            bindTexture(1, ghostTarget.colorTextures[0]);
            silhouetteShader.set("depthMap", 1);
            silhouetteShader.set("useDepthMap", 1);
        } else {
            silhouetteShader.set("useDepthMap", 0);
        }
        // Outside the cut region (and the stencil's reach around it) the
        // uncut depth is the cut one: the second draw gives the same lines.
        const int margin = static_cast<int>(std::ceil(std::max(pixelScale, 1.0f))) + 1;
        scissorTo(PixelRect{f.cut.x0 - margin, f.cut.y0 - margin, f.cut.x1 + margin, f.cut.y1 + margin});
        drawScreenQuad();
        glDisable(GL_SCISSOR_TEST);
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
}
