#include "render/JumpFlood.h"

#include "gl/FrameBufferObject.h"
#include "render/CoarseFlood.h"
#include "render/ShaderFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

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
    jf.reduceShader.build(quadVertexShader, "shaders/floodreduce.frag", {"outColor"});
    jf.coarseShader.build(quadVertexShader, "shaders/floodcoarse.frag", {"outColor"});
    jf.refineShader.build(quadVertexShader, "shaders/floodrefine.frag", {"outColor"});
    jf.resolveShader.build(quadVertexShader, "shaders/floodresolve.frag", {});
    const char* full = std::getenv("TORV_FULL_FLOOD");
    jf.fullFlood = full && std::string(full) == "1";
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
    d.depthInternalFormat = GL_DEPTH_COMPONENT32F;
    d.depthType = GL_FLOAT;
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

FrameBufferObject* floodCutawayDepth(FrameBufferObject& first, FrameBufferObject& second, const CutReach& reach)
{
    JumpFloodResources& jf = jumpFlood();
    if (!jf.ready)
        return nullptr;
    if (!jf.fullFlood)
        return coarseFloodCutawayDepth(first, reach);
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
    float x, y, depth, slope; // pixels, pixels, depth measure, depth per pixel
};

float coneDepth(const DecodedSeed& s, float px, float py)
{
    return s.depth - std::max(std::hypot(px - s.x, py - s.y) - 0.5f, 0.0f) * s.slope;
}

// Seeds of a tile of the image, deepest first, with bounds that no seed of
// the tile can beat anywhere.
struct SeedTile {
    std::vector<DecodedSeed> seeds;
    float maxDepth = 0.0f, minSlope = 1e30f;
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    float bound(float px, float py) const
    {
        float dx = std::max({x0 - px, px - x1, 0.0f}), dy = std::max({y0 - py, py - y1, 0.0f});
        return maxDepth - std::max(std::hypot(dx, dy) - 0.5f, 0.0f) * minSlope;
    }
};

} // namespace

std::vector<float> cutawayDepthReference(const std::vector<SeedTexel>& seeds, int width, int height, int stride)
{
    std::vector<DecodedSeed> decoded(seeds.size());
    std::vector<char> present(seeds.size(), 0);
    for (size_t i = 0; i < seeds.size(); ++i) {
        const SeedTexel& s = seeds[i];
        if (s.depth == 0)
            continue;
        DecodedSeed& d = decoded[i];
        d.x = s.x / 65535.0f * width;
        d.y = s.y / 65535.0f * height;
        d.depth = s.depth / 65535.0f;
        float a = s.slope / 65535.0f;
        d.slope = a / std::max(1.0f - a, 1e-5f) / height;
        present[i] = 1;
    }
    // A seed q never wins where a seed s no steeper than q satisfies
    // d_s - g_s |s - q| > d_q: by the triangle inequality s then cuts deeper
    // than q at every pixel. Dropping such seeds (checked against the
    // neighbours two texels around) leaves the maximum unchanged; the strict
    // test keeps one of two equal seeds.
    constexpr int tileSize = 8;
    const int tilesX = (width + tileSize - 1) / tileSize, tilesY = (height + tileSize - 1) / tileSize;
    std::vector<SeedTile> tiles(static_cast<size_t>(tilesX) * tilesY);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t i = static_cast<size_t>(y) * width + x;
            if (!present[i])
                continue;
            const DecodedSeed& q = decoded[i];
            bool dominated = false;
            for (int ny = std::max(y - 2, 0); ny <= std::min(y + 2, height - 1) && !dominated; ++ny)
                for (int nx = std::max(x - 2, 0); nx <= std::min(x + 2, width - 1) && !dominated; ++nx) {
                    size_t j = static_cast<size_t>(ny) * width + nx;
                    const DecodedSeed& s = decoded[j];
                    dominated = j != i && present[j] && s.slope <= q.slope &&
                                s.depth - s.slope * std::hypot(s.x - q.x, s.y - q.y) > q.depth;
                }
            if (dominated)
                continue;
            SeedTile& t = tiles[static_cast<size_t>(y / tileSize) * tilesX + x / tileSize];
            t.seeds.push_back(q);
            t.maxDepth = std::max(t.maxDepth, q.depth);
            t.minSlope = std::min(t.minSlope, q.slope);
            t.x0 = std::min(t.x0, q.x);
            t.x1 = std::max(t.x1, q.x);
            t.y0 = std::min(t.y0, q.y);
            t.y1 = std::max(t.y1, q.y);
        }
    }
    tiles.erase(std::remove_if(tiles.begin(), tiles.end(), [](const SeedTile& t) { return t.seeds.empty(); }),
                tiles.end());
    for (SeedTile& t : tiles)
        std::sort(t.seeds.begin(), t.seeds.end(),
                  [](const DecodedSeed& a, const DecodedSeed& b) { return a.depth > b.depth; });

    std::vector<float> out;
    size_t lastWinner = 0;
    for (int py = 0; py < height; py += stride) {
        for (int px = 0; px < width; px += stride) {
            const float cx = px + 0.5f, cy = py + 0.5f;
            float best = 0.0f;
            // The tile that won the previous pixel first: it usually wins
            // again, and a good start lets the bounds skip most tiles.
            auto scan = [&](size_t k) {
                const SeedTile& t = tiles[k];
                if (t.bound(cx, cy) <= best)
                    return;
                for (const DecodedSeed& s : t.seeds) {
                    if (s.depth <= best)
                        break;
                    float c = coneDepth(s, cx, cy);
                    if (c > best) {
                        best = c;
                        lastWinner = k;
                    }
                }
            };
            if (!tiles.empty()) {
                size_t first = lastWinner;
                scan(first);
                for (size_t k = 0; k < tiles.size(); ++k)
                    if (k != first)
                        scan(k);
            }
            out.push_back(std::min(best, 1.0f));
        }
    }
    return out;
}
