// The line passes: the uncut depth of every object, the ghost mode's blurred
// cutter mask, and the silhouettes of the uncut and the cut scene merged
// into lineTarget's colour.
#include "render/Renderer.h"

#include "render/JumpFlood.h"

#include "math/Camera.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>

int Renderer::lineMargin() const
{
    // The stencil reads one neighbour, lineScale texels away (linear
    // filtering may reach one more).
    return static_cast<int>(std::ceil(std::max(pixelScale, 1.0f))) + 1;
}

// The uncut depth is read only by the first silhouette draw, and without a
// cut it equals the depth the cell pass left in sceneTarget: the objects are
// then drawn no second time (the silhouette pass reads sceneTarget instead).
// With a cut it still equals it outside the cut region, where nothing was
// cut away: only the region is drawn again.
bool Renderer::needsUncutDepth(const Frame& f)
{
    return f.flood && f.scene.lineMode != LineMode::Off && !f.uncutLines.empty();
}

// The uncut lines differ from the cut ones only within the stencil's reach of
// the cut region; in ghost mode they weigh nothing beyond the blurred cutter
// mask, which spreads blurReach mask texels from the cutters' rectangles (one
// more for its bilinear reads, one for rounding). The full flood, kept to
// compare with, draws them wherever the cut region lets it.
PixelRect Renderer::uncutLineRegion(const Frame& f) const
{
    PixelRect r = grown(f.cut, lineMargin());
    if (f.scene.lineMode == LineMode::Ghost && ghostTarget.created && !jumpFlood().fullFlood) {
        const double texel = std::max(double(frameWidth) / ghostTarget.width, double(frameHeight) / ghostTarget.height);
        r = intersect(r, grown(floodReach.cutters, static_cast<int>(std::ceil((blurReach + 2) * texel)) + 1));
    }
    return r;
}

void Renderer::depthPass(const Frame& f)
{
    lineTarget.bind();
    glClear(GL_COLOR_BUFFER_BIT);
    FrameBufferObject::unbind();
    if (!needsUncutDepth(f))
        return;
    // The uncut lines read it a stencil reach beyond their region; outside
    // the cut region it is the cell pass's depth, inside it is drawn again.
    const PixelRect read = grown(f.uncutLines, lineMargin());
    const PixelRect drawn = intersect(f.cut, read);
    copyDepth(sceneTarget, uncutDepth, read);
    uncutDepth.bind();
    scissorTo(drawn);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    depthShader.use();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    for (const auto* set : {&f.scene.selection, &f.scene.objects})
        for (Renderable* r : *set)
            if (mayDrawInto(r, f.camera, frameWidth, frameHeight, drawn))
                r->draw(depthShader);
    glUseProgram(0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    FrameBufferObject::unbind();
}

// The texels of the ghost mask that bilinear reads within r (window pixels)
// touch.
PixelRect Renderer::maskRect(const PixelRect& r) const
{
    const double sx = double(ghostTarget.width) / frameWidth, sy = double(ghostTarget.height) / frameHeight;
    return PixelRect{std::max(int(std::floor(r.x0 * sx)) - 1, 0), std::max(int(std::floor(r.y0 * sy)) - 1, 0),
                     std::min(int(std::ceil(r.x1 * sx)) + 1, ghostTarget.width),
                     std::min(int(std::ceil(r.y1 * sy)) + 1, ghostTarget.height)};
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

    // Two halves of a separable blur at the mask's reduced size. The lines
    // read the blurred mask only where they weigh the uncut lines (the cut
    // region and the stencil's reach), bilinearly: the vertical half is
    // needed only there, the horizontal half as far again as the vertical
    // one reaches (blurReach texels).
    const PixelRect needed = maskRect(f.uncutLines);
    const PixelRect rows{needed.x0, std::max(needed.y0 - blurReach, 0), needed.x1,
                         std::min(needed.y1 + blurReach, ghostTarget.height)};
    auto blur = [&](ShaderProgram& program, FrameBufferObject& target, FrameBufferObject& source,
                    const PixelRect& where) {
        target.bind();
        scissorTo(where);
        program.use();
        program.set("multiplier", s.ghostMultiplier);
        program.set("invImageSize", 1.0f / target.width, 1.0f / target.height);
        bindTexture(0, source.colorTextures[0]);
        program.set("texture0", 0);
        drawScreenQuad();
        glDisable(GL_SCISSOR_TEST);
        FrameBufferObject::unbind();
    };
    blur(blur1Shader, blurTarget, ghostTarget, rows);
    blur(blur2Shader, ghostTarget, blurTarget, needed);
    glUseProgram(0);
    glViewport(0, 0, frameWidth, frameHeight);
}

void Renderer::silhouettePass(const Frame& f)
{
    const Scene& s = f.scene;
    glDisable(GL_CULL_FACE);
    lineTarget.bind();
    // Unit 1 may hold last frame's line image, an image of this target.
    bindTexture(1, 0);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    silhouetteShader.use();
    silhouetteShader.set("invImageSize", 1.0f / frameWidth, 1.0f / frameHeight);
    silhouetteShader.set("lineScale", pixelScale);
    silhouetteShader.set("threshold", 0.0004f, 0.001f);
    silhouetteShader.set("depthLogRange", std::log(f.camera.farDistance / f.camera.nearDistance));
    // The lines of the scene as drawn (cut), written as they are.
    silhouetteShader.set("useDepthMap", 0);
    bindTexture(0, sceneTarget.depthTexture);
    silhouetteShader.set("texture0", 0);
    drawScreenQuad();
    // The lines of the uncut scene (weighted by the cutter mask in ghost
    // mode) over them, the larger of the two kept. Outside the cut region
    // (and the stencil's reach around it) the uncut depth is the cut one and
    // gives the same lines: only the region is drawn.
    if (needsUncutDepth(f)) {
        bindTexture(0, uncutDepth.depthTexture);
        if (s.lineMode == LineMode::Ghost) {
            bindTexture(1, ghostTarget.colorTextures[0]);
            silhouetteShader.set("depthMap", 1);
            silhouetteShader.set("useDepthMap", 1);
        }
        glEnable(GL_BLEND);
        glBlendEquation(GL_MAX);
        scissorTo(f.uncutLines);
        drawScreenQuad();
        glDisable(GL_SCISSOR_TEST);
    }
    glDisable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glUseProgram(0);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    FrameBufferObject::unbind();
}
