#include "render/Renderer.h"

#include "math/Camera.h"
#include "render/JumpFlood.h"
#include "render/ShaderFiles.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cstring>

void bindTexture(int unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void Renderer::init(int width, int height)
{
    needPrograms(ProgramGroup::Core);
    screenQuad.makeScreenQuad();
    projectionUploaded = false;
    resize(width, height);
}

void Renderer::resize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    frameWidth = width;
    frameHeight = height;
    createTargets();
    // The targets of passes no frame has run yet are made with them.
    if (built(ProgramGroup::Cut))
        createCutTargets();
    if (built(ProgramGroup::Outline))
        outline.resize(width, height);
}

void Renderer::createCutTargets()
{
    floodTargets[1].release();
    floodTargets[0].release();
    createFloodTargets(floodTargets, frameWidth, frameHeight);
    seedsWritten = PixelRect{0, 0, frameWidth, frameHeight};
    frontDepthCopy.release();
    uncutDepth.release();
    frontDepthCopy.create(depthDesc());
    uncutDepth.create(depthDesc());
}

FrameBufferDesc Renderer::depthDesc() const
{
    FrameBufferDesc d;
    d.width = frameWidth;
    d.height = frameHeight;
    d.depthFormat = GL_DEPTH_COMPONENT;
    d.depthInternalFormat = GL_DEPTH_COMPONENT32F;
    d.depthType = GL_FLOAT;
    d.wrap = GL_CLAMP_TO_EDGE;
    return d;
}

FrameBufferDesc Renderer::sceneDesc() const
{
    FrameBufferDesc d = depthDesc();
    d.colorCount = 2;
    d.colorFormats = {GL_RGBA, GL_RED_INTEGER};
    d.colorInternalFormats = {GL_RGBA8, GL_R32UI};
    return d;
}

void Renderer::createTargets()
{
    for (FrameBufferObject* t : {&lineTarget, &sceneTarget, &ghostTarget, &blurTarget})
        t->release();

    FrameBufferDesc line = depthDesc();
    line.colorCount = 1;
    line.colorFormats = {GL_RED};
    line.colorInternalFormats = {GL_R8};
    lineTarget.create(line);

    sceneTarget.create(sceneDesc());
    // Until the first frame is drawn at this size, picking finds nothing.
    if (sceneTarget.created) {
        const GLuint noObject[4] = {0, 0, 0, 0};
        glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
        glClearBufferuiv(GL_COLOR, 1, noObject);
        FrameBufferObject::unbind();
    }

    FrameBufferDesc ghost;
    ghost.width = static_cast<int>(frameWidth * static_cast<double>(ghostHeight) / frameHeight);
    ghost.height = ghostHeight;
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
}

void Renderer::release()
{
    outline.release();
    blurTarget.release();
    ghostTarget.release();
    sceneTarget.release();
    lineTarget.release();
    frontDepthCopy.release();
    uncutDepth.release();
    floodTargets[1].release();
    floodTargets[0].release();
    screenQuad.release();
    for (ShaderProgram* p : {&blur2Shader, &blur1Shader, &colorShader, &gizmoShader, &idShader, &cutSurfaceShader,
                             &combineShader, &cellShader, &silhouetteShader, &depthShader})
        p->release();
    builtGroups = 0;
}

void Renderer::followProjection(const Camera& camera)
{
    const Mat4& projection = camera.projection;
    if (projectionUploaded && std::memcmp(uploadedProjection.m, projection.m, sizeof projection.m) == 0)
        return;
    // Programs not built yet get it when they are (needPrograms).
    for (ShaderProgram* p : {&cellShader, &depthShader, &jumpFlood().meshShader, &cutSurfaceShader, &idShader,
                             &gizmoShader, &colorShader}) {
        if (!p->linked)
            continue;
        p->use();
        p->setMatrix4("perspective", projection.data());
        glUseProgram(0);
    }
    // Only the seeds' program measures the cone against the far plane.
    if (jumpFlood().meshShader.linked) {
        jumpFlood().meshShader.use();
        jumpFlood().meshShader.set("farPlane", farPlane);
        glUseProgram(0);
    }
    uploadedProjection = projection;
    projectionUploaded = true;
}

void Renderer::render(Scene& scene, const Camera& camera)
{
    needProgramsFor(scene);
    followProjection(camera);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_FRONT);

    const Vec4 light = camera.view * Vec4(lightPosition.x, lightPosition.y, lightPosition.z, 1.0f);
    Frame f{scene, camera, Vec3(light.x, light.y, light.z), nullptr, PixelRect{}, PixelRect{}};

    passTimer.begin("cutaway");
    f.flood = cutawayDepthPass(f);
    if (f.flood) {
        f.cut = cutRegion();
        f.uncutLines = uncutLineRegion(f);
    }
    lastFlood = f.flood;
    lastCut = f.cut;
    passTimer.begin("cell");
    cellPass(f);
    passTimer.begin("cutSurface");
    if (f.flood)
        cutSurfacePass(f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    passTimer.begin("depth");
    depthPass(f);
    // The mask weighs only the uncut lines, which a frame draws with a cut.
    if (scene.lineMode == LineMode::Ghost && needsUncutDepth(f)) {
        passTimer.begin("ghost");
        ghostPass(f);
    }
    passTimer.begin("silhouette");
    silhouettePass(f);
    passTimer.begin("gizmoId");
    gizmoIdPass(f);
    passTimer.begin("combine");
    combinePass();
    if (outlineSelection) {
        passTimer.begin("outline");
        outlinePass(f);
    }
    passTimer.begin("overlay");
    overlayPass(f);
    passTimer.end();
    glActiveTexture(GL_TEXTURE0);
}

PixelRect Renderer::cutRegion() const
{
    if (jumpFlood().fullFlood)
        return PixelRect{0, 0, frameWidth, frameHeight};
    return floodReach.exact;
}

bool Renderer::scissorTo(const PixelRect& r)
{
    if (r.empty())
        return false;
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    return true;
}

PixelRect Renderer::grown(const PixelRect& r, int margin)
{
    return PixelRect{r.x0 - margin, r.y0 - margin, r.x1 + margin, r.y1 + margin};
}

void Renderer::copyDepth(const FrameBufferObject& from, const FrameBufferObject& to, const PixelRect& r) const
{
    const int x0 = std::max(r.x0, 0), y0 = std::max(r.y0, 0);
    const int x1 = std::min(r.x1, frameWidth), y1 = std::min(r.y1, frameHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to.framebuffer);
    if (x1 > x0 && y1 > y0)
        glBlitFramebuffer(x0, y0, x1, y1, x0, y0, x1, y1, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

uint32_t Renderer::readObjectId(int x, int y) const
{
    if (x < 0 || y < 0 || x >= frameWidth || y >= frameHeight || !sceneTarget.created)
        return 0;
    sceneTarget.bind();
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    GLuint id = 0;
    glReadPixels(x, frameHeight - 1 - y, 1, 1, GL_RED_INTEGER, GL_UNSIGNED_INT, &id);
    FrameBufferObject::unbind();
    glReadBuffer(GL_BACK);
    return id;
}

std::vector<uint32_t> Renderer::readObjectIds() const
{
    std::vector<uint32_t> ids(static_cast<size_t>(frameWidth) * frameHeight);
    if (!sceneTarget.created)
        return ids;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RED_INTEGER, GL_UNSIGNED_INT, ids.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    return ids;
}

std::vector<const ShaderProgram*> Renderer::programs() const
{
    const JumpFloodResources& jf = jumpFlood();
    std::vector<const ShaderProgram*> all = {
        &depthShader,     &silhouetteShader, &cellShader,     &combineShader,
        &cutSurfaceShader,    &idShader,        &gizmoShader,      &colorShader,    &blur1Shader,
        &blur2Shader,         &jf.floodShader, &jf.meshShader,    &jf.resultShader, &jf.reduceShader,
        &jf.coarseShader,     &jf.refineShader,  &jf.resolveShader};
    for (const ShaderProgram* p : outline.programs())
        all.push_back(p);
    return all;
}

const ShaderProgram* Renderer::program(const std::string& name) const
{
    for (const ShaderProgram* p : programs())
        if (p->name == name)
            return p;
    return nullptr;
}

const FrameBufferObject& Renderer::target(RenderTarget which) const
{
    switch (which) {
    case RenderTarget::Line:
        return lineTarget;
    case RenderTarget::Scene:
        return sceneTarget;
    case RenderTarget::Ghost:
        return ghostTarget;
    case RenderTarget::Blur:
        return blurTarget;
    case RenderTarget::FrontDepthCopy:
        return frontDepthCopy;
    case RenderTarget::Flood0:
        return floodTargets[0];
    case RenderTarget::Flood1:
        break;
    }
    return floodTargets[1];
}
