#include "geometry/Adjacency.h"

#include <iostream>
#include <map>

namespace {

constexpr int kNoTwin = -1;

// Half-edges are kept in one array, three per triangle; links are array
// positions so the whole structure is freed in one go.
struct HalfEdge {
    uint32_t vertex = 0;  // end vertex of the directed edge
    int twin = kNoTwin;
    int next = 0;
};

uint64_t edgeKey(uint32_t start, uint32_t end)
{
    return (uint64_t(end) << 32) | start;
}

}  // namespace

void buildAdjacency(int triangleCount, const uint32_t* indices, uint32_t* outIndices,
                    int vertexCount, const float* positions,
                    int& newVertexCount, std::vector<float>& newPositions)
{
    if (triangleCount < 0)
        triangleCount = 0;
    if (vertexCount < 0)
        vertexCount = 0;

    std::vector<HalfEdge> halfEdges(size_t(triangleCount) * 3);
    std::vector<uint32_t> corners(indices, indices + size_t(triangleCount) * 3);
    std::map<uint64_t, int> edgeMap;
    std::vector<float> extraPositions;
    uint32_t nextIndex = uint32_t(vertexCount);

    auto copyVertex = [&](uint32_t v) {
        // A bad index must not read past the caller's array; its copy sits at the origin.
        for (int k = 0; k < 3; ++k)
            extraPositions.push_back(v < uint32_t(vertexCount) ? positions[size_t(v) * 3 + k] : 0.0f);
        return nextIndex++;
    };

    for (int t = 0; t < triangleCount; ++t) {
        uint32_t& a = corners[size_t(t) * 3];
        uint32_t& b = corners[size_t(t) * 3 + 1];
        uint32_t& c = corners[size_t(t) * 3 + 2];

        const bool t0 = edgeMap.count(edgeKey(c, a)) != 0;
        const bool t1 = edgeMap.count(edgeKey(a, b)) != 0;
        const bool t2 = edgeMap.count(edgeKey(b, c)) != 0;
        if (t0 || t1 || t2) {
            const bool copyA = t0 || (t1 && !t2);
            // b is copied whenever b->c is held. Copying only a when c->a and
            // b->c are held but a->b is free would leave b->c shared, and the
            // earlier half-edge would lose its map entry and so its twin.
            const bool copyB = t2;
            if (copyA)
                a = copyVertex(a);
            if (copyB)
                b = copyVertex(b);
        }

        const int h0 = t * 3, h1 = h0 + 1, h2 = h0 + 2;
        halfEdges[h0] = {a, kNoTwin, h1};
        halfEdges[h1] = {b, kNoTwin, h2};
        halfEdges[h2] = {c, kNoTwin, h0};
        edgeMap[edgeKey(c, a)] = h0;
        edgeMap[edgeKey(a, b)] = h1;
        edgeMap[edgeKey(b, c)] = h2;
    }

    int boundaryCount = 0;
    for (const auto& [key, h] : edgeMap) {
        const uint64_t reversed = (key << 32) | (key >> 32);
        auto it = edgeMap.find(reversed);
        if (it != edgeMap.end()) {
            halfEdges[h].twin = it->second;
            halfEdges[it->second].twin = h;
        } else {
            halfEdges[h].twin = kNoTwin;
            ++boundaryCount;
        }
    }

    if (boundaryCount != 0)
        std::cout << "WARNING: mesh not two-manifold\n";

    auto adjacent = [&](int h, uint32_t start) {
        const int twin = halfEdges[h].twin;
        return twin == kNoTwin ? start : halfEdges[halfEdges[twin].next].vertex;
    };
    for (int t = 0; t < triangleCount; ++t) {
        const uint32_t a = corners[size_t(t) * 3];
        const uint32_t b = corners[size_t(t) * 3 + 1];
        const uint32_t c = corners[size_t(t) * 3 + 2];
        uint32_t* out = outIndices + size_t(t) * 6;
        out[0] = c;
        out[1] = adjacent(t * 3, c);
        out[2] = a;
        out[3] = adjacent(t * 3 + 1, a);
        out[4] = b;
        out[5] = adjacent(t * 3 + 2, b);
    }

    newVertexCount = int(nextIndex);
    newPositions.assign(positions, positions + size_t(vertexCount) * 3);
    newPositions.insert(newPositions.end(), extraPositions.begin(), extraPositions.end());

    std::cout << "Boundaries: " << boundaryCount << std::endl;
}
