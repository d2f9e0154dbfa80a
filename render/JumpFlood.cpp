#include "render/JumpFlood.h"

#include "gl/FrameBufferObject.h"
#include "render/ShaderFiles.h"

#include <algorithm>
#include <cmath>

JumpFloodResources& jumpFlood()
{
    static JumpFloodResources resources;
    return resources;
}

void initJumpFlood()
{
    JumpFloodResources& jf = jumpFlood();
    if (jf.ready)
        return;
    jf.floodQuad.makeScreenQuad();
    jf.floodShader.build(quadVertexShader, "shaders/jumpflood.frag", {"outColor"});
    jf.meshShader.build(objectVertexShader, "shaders/jumpfloodmeshshader.frag", {"outColor"});
    jf.resultShader.build(quadVertexShader, "shaders/jumpfloodresult.frag", {"outColor"});
    jf.ready = true;
}

void createFloodTargets(FrameBufferObject targets[2], int width, int height)
{
    if (!jumpFlood().ready)
        return;
    FrameBufferDesc d;
    d.width = width;
    d.height = height;
    d.depthFormat = GL_DEPTH_COMPONENT;
    d.depthInternalFormat = GL_DEPTH_COMPONENT32;
    d.depthType = GL_UNSIGNED_INT;
    d.colorCount = 1;
    d.colorFormats = {GL_RGBA};
    d.colorInternalFormats = {GL_RGBA16};
    d.colorType = GL_UNSIGNED_SHORT;
    d.wrap = GL_CLAMP_TO_BORDER;
    targets[0].create(d);
    targets[1].create(d);
}

int floodPassCount(int width, int height)
{
    float m = static_cast<float>(std::max(width, height));
    float a = std::log(m);
    float b = std::log(2.0f);
    float q = a / b;
    return static_cast<int>(std::ceil(q));
}

void floodSteps(int width, int height, std::vector<std::pair<unsigned, unsigned>>& steps)
{
    steps.clear();
    int n = floodPassCount(width, height);
    int sx = width / 2, sy = height / 2;
    for (int i = 0; i < n; ++i) {
        steps.emplace_back(static_cast<unsigned>(sx), static_cast<unsigned>(sy));
        sx = static_cast<int>(std::ceil(static_cast<float>(sx) * 0.5f));
        sy = static_cast<int>(std::ceil(static_cast<float>(sy) * 0.5f));
    }
}

float maxThetaForAngle(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) * static_cast<double>(3.1415f) / 180.0);
}

FrameBufferObject* floodCutawayDepth(FrameBufferObject& first, FrameBufferObject& second)
{
    JumpFloodResources& jf = jumpFlood();
    if (!jf.ready)
        return nullptr;
    const int w = first.width, h = first.height;
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_ALWAYS);
    glViewport(0, 0, w, h);

    std::vector<std::pair<unsigned, unsigned>> steps;
    floodSteps(w, h, steps);

    FrameBufferObject* target[2] = {&first, &second};
    // Each pass reads the seeds of the target written before it (a seed
    // texel carries its own depth).
    auto bindSource = [](ShaderProgram& program, FrameBufferObject& source) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, source.colorTextures[0]);
        program.set("texture0", 0);
    };
    jf.floodShader.use();
    jf.floodShader.set("invImageSize", 1.0f / w, 1.0f / h);
    glBindVertexArray(jf.floodQuad.vertexArray);
    int src = 0, dst = 1;
    for (const auto& step : steps) {
        target[dst]->bind();
        bindSource(jf.floodShader, *target[src]);
        glUniform2ui(jf.floodShader.uniform("k"), step.first, step.second);
        glDrawArrays(jf.floodQuad.primitiveMode, 0, jf.floodQuad.vertexCount);
        FrameBufferObject::unbind();
        std::swap(src, dst);
    }
    glUseProgram(0);

    jf.resultShader.use();
    target[dst]->bind();
    jf.resultShader.set("invImageSize", 1.0f / w, 1.0f / h);
    bindSource(jf.resultShader, *target[src]);
    glDrawArrays(jf.floodQuad.primitiveMode, 0, jf.floodQuad.vertexCount);
    FrameBufferObject::unbind();
    glUseProgram(0);
    glBindVertexArray(0);
    glActiveTexture(GL_TEXTURE0);
    glDepthFunc(GL_LESS);
    return target[dst];
}

namespace {

struct DecodedSeed {
    float x, y, depth, slope; // pixels, pixels, depth over farPlane, depth per pixel
};

} // namespace

std::vector<float> cutawayDepthReference(const std::vector<SeedTexel>& seeds, int width, int height, int stride)
{
    // Decode once, deepest first: a seed can never cut deeper than its own
    // depth, so the scan of a pixel stops at the first seed that cannot win.
    std::vector<DecodedSeed> decoded;
    for (const SeedTexel& s : seeds) {
        if (s.depth == 0)
            continue;
        DecodedSeed d;
        d.x = s.x / 65535.0f * width;
        d.y = s.y / 65535.0f * height;
        d.depth = s.depth / 65535.0f;
        float a = s.slope / 65535.0f;
        d.slope = a / std::max(1.0f - a, 1e-5f) / height;
        decoded.push_back(d);
    }
    std::sort(decoded.begin(), decoded.end(),
              [](const DecodedSeed& a, const DecodedSeed& b) { return a.depth > b.depth; });
    std::vector<float> out;
    for (int py = 0; py < height; py += stride) {
        for (int px = 0; px < width; px += stride) {
            const float cx = px + 0.5f, cy = py + 0.5f;
            float best = 0.0f;
            for (const DecodedSeed& s : decoded) {
                if (s.depth <= best)
                    break;
                float r = std::max(std::hypot(cx - s.x, cy - s.y) - 0.5f, 0.0f);
                best = std::max(best, s.depth - r * s.slope);
            }
            out.push_back(std::min(best, 1.0f));
        }
    }
    return out;
}
