#include "geometry/Adjacency.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Result {
    std::vector<uint32_t> indices;
    int vertexCount = 0;
    std::vector<float> positions;
    std::string printed;
};

Result build(const std::vector<uint32_t>& tris, int vertexCount)
{
    std::vector<float> positions(size_t(vertexCount) * 3);
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = float(i) + 0.5f;
    Result r;
    r.indices.assign(tris.size() * 2, 0xdeadbeefu);
    testing::internal::CaptureStdout();
    buildAdjacency(int(tris.size() / 3), tris.data(), r.indices.data(), vertexCount, positions.data(),
                   r.vertexCount, r.positions);
    r.printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(r.positions.size(), size_t(r.vertexCount) * 3);
    for (size_t i = 0; i < positions.size(); ++i)
        EXPECT_EQ(r.positions[i], positions[i]) << "input position " << i << " changed";
    return r;
}

std::vector<uint32_t> corners(const Result& r, int tri)
{
    const uint32_t* t = &r.indices[size_t(tri) * 6];
    return {t[2], t[4], t[0]};  // back to a, b, c
}

// Copies must carry the position of the vertex they were made from.
void expectCopyOf(const Result& r, uint32_t copy, uint32_t original)
{
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(r.positions[copy * 3 + k], r.positions[original * 3 + k]) << "copy " << copy;
}

// For every interior edge the adjacent index must be the third corner of a
// triangle that runs the same edge the other way.
void expectAdjacencyConsistent(const Result& r)
{
    const size_t triCount = r.indices.size() / 6;
    for (size_t t = 0; t < triCount; ++t) {
        const uint32_t* o = &r.indices[t * 6];
        for (int e = 0; e < 3; ++e) {
            const uint32_t from = o[e * 2], to = o[(e * 2 + 2) % 6], adj = o[e * 2 + 1];
            if (adj == from)
                continue;  // boundary
            bool found = false;
            for (size_t u = 0; u < triCount && !found; ++u) {
                const uint32_t* p = &r.indices[u * 6];
                for (int f = 0; f < 3; ++f)
                    if (p[f * 2] == to && p[(f * 2 + 2) % 6] == from && p[(f * 2 + 4) % 6] == adj)
                        found = true;
            }
            EXPECT_TRUE(found) << "triangle " << t << " edge " << e;
        }
    }
}

}  // namespace

TEST(Adjacency, TwoTrianglesSharingOneEdge)
{
    const Result r = build({0, 1, 2, 2, 1, 3}, 4);
    EXPECT_EQ(r.indices, (std::vector<uint32_t>{2, 2, 0, 0, 1, 3, 3, 3, 2, 0, 1, 1}));
    EXPECT_EQ(r.vertexCount, 4);
    EXPECT_EQ(r.printed, "WARNING: mesh not two-manifold\nBoundaries: 4\n");
}

TEST(Adjacency, ClosedTetrahedronHasOppositeCornersAndNoCopies)
{
    // Outward-facing, consistently wound.
    const Result r = build({0, 2, 1, 0, 1, 3, 1, 2, 3, 0, 3, 2}, 4);
    EXPECT_EQ(r.printed, "Boundaries: 0\n");
    EXPECT_EQ(r.vertexCount, 4);
    for (size_t t = 0; t < 4; ++t) {
        const uint32_t* o = &r.indices[t * 6];
        // The only vertex not on this face is opposite every one of its edges.
        const uint32_t opposite = 6 - o[0] - o[2] - o[4];
        EXPECT_EQ(o[1], opposite);
        EXPECT_EQ(o[3], opposite);
        EXPECT_EQ(o[5], opposite);
    }
    expectAdjacencyConsistent(r);
}

TEST(Adjacency, SameDirectionEdgeCopiesFirstCorner)
{
    const Result r = build({0, 1, 2, 1, 2, 3}, 4);
    EXPECT_EQ(corners(r, 1), (std::vector<uint32_t>{4, 2, 3}));
    EXPECT_EQ(r.vertexCount, 5);
    expectCopyOf(r, 4, 1);
    EXPECT_EQ(r.printed, "WARNING: mesh not two-manifold\nBoundaries: 6\n");
}

TEST(Adjacency, CopiedCornersKeepEveryDirectedEdgeUnique)
{
    // Second triangle repeats all three directed edges: a and b are copied, a first.
    Result r = build({0, 1, 2, 0, 1, 2}, 3);
    EXPECT_EQ(corners(r, 1), (std::vector<uint32_t>{3, 4, 2}));
    EXPECT_EQ(r.vertexCount, 5);
    expectCopyOf(r, 3, 0);
    expectCopyOf(r, 4, 1);
    EXPECT_EQ(r.printed, "WARNING: mesh not two-manifold\nBoundaries: 6\n");

    // Triangle (0, 1, 2) finds c->a (2->0) and b->c (1->2) held, a->b free.
    // Copying only a would hand 1->2 over to it and leave the earlier 1->2 of
    // (1, 2, 4) without its twin 2->1 in (2, 1, 7); b is copied as well.
    r = build({2, 0, 3, 1, 2, 4, 0, 1, 2, 2, 1, 7}, 8);
    EXPECT_EQ(corners(r, 2), (std::vector<uint32_t>{8, 9, 2}));
    EXPECT_EQ(r.vertexCount, 10);
    expectCopyOf(r, 8, 0);
    expectCopyOf(r, 9, 1);
    EXPECT_EQ(std::vector<uint32_t>(r.indices.begin() + 6, r.indices.begin() + 12),
              (std::vector<uint32_t>{4, 4, 1, 7, 2, 2}));
    EXPECT_EQ(std::vector<uint32_t>(r.indices.begin() + 18, r.indices.end()),
              (std::vector<uint32_t>{7, 7, 2, 4, 1, 1}));
    EXPECT_EQ(r.printed, "WARNING: mesh not two-manifold\nBoundaries: 10\n");
    expectAdjacencyConsistent(r);
}

TEST(Adjacency, EmptyInputPrintsZeroBoundaries)
{
    const Result r = build({}, 2);
    EXPECT_TRUE(r.indices.empty());
    EXPECT_EQ(r.vertexCount, 2);
    EXPECT_EQ(r.printed, "Boundaries: 0\n");
}
