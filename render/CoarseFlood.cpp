#include "render/CoarseFlood.h"

#include "gl/FrameBufferObject.h"
#include "render/JumpFlood.h"

#include <algorithm>

namespace {

// The coarse ping-pong pair and the full-size depth the resolve writes,
// made for the size of the last seed image flooded.
struct CoarseTargets {
    FrameBufferObject coarse[2];
    FrameBufferObject result;
    int width = 0;
    int height = 0;
    // Where result may hold anything but 0 (all of it when new).
    PixelRect written;
};

CoarseTargets& coarseTargets(int width, int height)
{
    static CoarseTargets t;
    if (t.width == width && t.height == height && t.result.created)
        return t;
    for (FrameBufferObject* f : {&t.coarse[0], &t.coarse[1], &t.result})
        f->release();
    FrameBufferDesc d;
    d.width = (width + coarseFloodCell - 1) / coarseFloodCell;
    d.height = (height + coarseFloodCell - 1) / coarseFloodCell;
    d.depthInternalFormat = GL_DEPTH_COMPONENT16;
    d.colorCount = 1;
    d.colorFormats = {GL_RGBA};
    d.colorInternalFormats = {GL_RGBA32F};
    d.colorType = GL_FLOAT;
    d.wrap = GL_CLAMP_TO_EDGE;
    t.coarse[0].create(d);
    t.coarse[1].create(d);
    FrameBufferDesc r;
    r.width = width;
    r.height = height;
    r.depthInternalFormat = GL_DEPTH_COMPONENT32F;
    r.depthType = GL_FLOAT;
    r.wrap = GL_CLAMP_TO_EDGE;
    t.result.create(r);
    t.width = width;
    t.height = height;
    t.written = PixelRect{0, 0, width, height};
    return t;
}

void bindTextureUnit(int unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void scissorTo(const PixelRect& r)
{
    glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
}

void clearDepthIn(const PixelRect& r, double depth)
{
    if (r.empty())
        return;
    scissorTo(r);
    glClearDepth(depth);
    glClear(GL_DEPTH_BUFFER_BIT);
}

} // namespace

void coarseFloodSteps(int width, int height, std::vector<int>& steps)
{
    steps.clear();
    int extent = std::max(width, height);
    int step = 1;
    while (step * 2 < extent)
        step *= 2;
    for (; step >= 1; step /= 2)
        steps.push_back(step);
}

FrameBufferObject* coarseFloodCutawayDepth(FrameBufferObject& seeds, const CutReach& reach)
{
    JumpFloodResources& jf = jumpFlood();
    if (!jf.ready)
        return nullptr;
    const int w = seeds.width, h = seeds.height;
    const float size[2] = {static_cast<float>(w), static_cast<float>(h)};
    CoarseTargets& t = coarseTargets(w, h);
    glEnable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);

    // Everything outside the exact region, the exact region itself below.
    // Only the last frame's positive rectangle can hold anything but 0.
    t.result.bind();
    glViewport(0, 0, w, h);
    clearDepthIn(t.written, 0.0);
    clearDepthIn(reach.positive, 0.5 * reach.floor);
    t.written = reach.positive;
    PixelRect region = reach.exact;
    if (region.empty()) {
        glDisable(GL_SCISSOR_TEST);
        glClearDepth(1.0);
        FrameBufferObject::unbind();
        return &t.result;
    }

    // The coarse texels over the region, and one more around it so the
    // resolve's neighbours are flooded too.
    const int cell = coarseFloodCell;
    PixelRect coarse{std::max(region.x0 / cell - 1, 0), std::max(region.y0 / cell - 1, 0),
                     std::min((region.x1 + cell - 1) / cell + 1, t.coarse[0].width),
                     std::min((region.y1 + cell - 1) / cell + 1, t.coarse[0].height)};
    glDisable(GL_DEPTH_TEST);
    glBindVertexArray(jf.floodQuad.vertexArray);
    auto drawQuad = [&] { glDrawArrays(jf.floodQuad.primitiveMode, 0, jf.floodQuad.vertexCount); };
    auto setRegion = [&](ShaderProgram& program) {
        glUniform4i(program.uniform("region"), coarse.x0, coarse.y0, coarse.x1 - 1, coarse.y1 - 1);
    };

    glViewport(0, 0, t.coarse[0].width, t.coarse[0].height);
    scissorTo(coarse);
    t.coarse[0].bind();
    jf.reduceShader.use();
    bindTextureUnit(0, seeds.colorTextures[0]);
    jf.reduceShader.set("seeds", 0);
    jf.reduceShader.set("imageSize", size[0], size[1]);
    drawQuad();

    std::vector<int> steps;
    coarseFloodSteps(coarse.x1 - coarse.x0, coarse.y1 - coarse.y0, steps);
    jf.coarseShader.use();
    jf.coarseShader.set("seeds", 0);
    setRegion(jf.coarseShader);
    int src = 0;
    for (int step : steps) {
        t.coarse[1 - src].bind();
        bindTextureUnit(0, t.coarse[src].colorTextures[0]);
        glUniform2i(jf.coarseShader.uniform("k"), step, step);
        drawQuad();
        src = 1 - src;
    }

    t.coarse[1 - src].bind();
    jf.refineShader.use();
    bindTextureUnit(0, t.coarse[src].colorTextures[0]);
    jf.refineShader.set("coarse", 0);
    bindTextureUnit(1, seeds.colorTextures[0]);
    jf.refineShader.set("seeds", 1);
    jf.refineShader.set("imageSize", size[0], size[1]);
    drawQuad();
    src = 1 - src;

    glViewport(0, 0, w, h);
    scissorTo(region);
    t.result.bind();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    jf.resolveShader.use();
    bindTextureUnit(0, t.coarse[src].colorTextures[0]);
    jf.resolveShader.set("coarse", 0);
    bindTextureUnit(1, seeds.colorTextures[0]);
    jf.resolveShader.set("seeds", 1);
    setRegion(jf.resolveShader);
    drawQuad();

    glDisable(GL_SCISSOR_TEST);
    glClearDepth(1.0);
    FrameBufferObject::unbind();
    glUseProgram(0);
    glBindVertexArray(0);
    glActiveTexture(GL_TEXTURE0);
    glDepthFunc(GL_LESS);
    return &t.result;
}
