#include "geometry/Adjacency.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Indices = std::vector<uint32_t>;

struct Result {
    Indices out;
    int vertexCount = 0;
    std::vector<float> positions;
    std::string printed;
};

Result build(const Indices& tris, int vertexCount)
{
    std::vector<float> positions(size_t(vertexCount) * 3);
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = float(i) + 0.5f;
    Result r;
    r.out.resize(tris.size() * 2);
    testing::internal::CaptureStdout();
    buildAdjacency(int(tris.size() / 3), tris.data(), r.out.data(), vertexCount, positions.data(),
                   r.vertexCount, r.positions);
    r.printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(r.positions.size(), size_t(r.vertexCount) * 3);
    EXPECT_TRUE(std::equal(positions.begin(), positions.end(), r.positions.begin()));
    return r;
}

Indices six(const Result& r, int tri)
{
    return Indices(r.out.begin() + tri * 6, r.out.begin() + tri * 6 + 6);
}

// Copies carry the position of the vertex they were made from.
void expectCopyOf(const Result& r, uint32_t copy, uint32_t original)
{
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(r.positions[copy * 3 + k], r.positions[original * 3 + k]) << "copy " << copy;
}

const char* kWarning = "WARNING: mesh not two-manifold\n";

}  // namespace

TEST(Adjacency, TwoTrianglesSharingOneEdge)
{
    const Result r = build({0, 1, 2, 2, 1, 3}, 4);
    EXPECT_EQ(r.out, (Indices{2, 2, 0, 0, 1, 3, 3, 3, 2, 0, 1, 1}));
    EXPECT_EQ(r.vertexCount, 4);
    EXPECT_EQ(r.printed, std::string(kWarning) + "Boundaries: 4\n");
}

TEST(Adjacency, ClosedTetrahedronSeesOppositeCorners)
{
    const Result r = build({0, 2, 1, 0, 1, 3, 1, 2, 3, 0, 3, 2}, 4);
    EXPECT_EQ(r.printed, "Boundaries: 0\n");
    EXPECT_EQ(r.vertexCount, 4);
    for (int t = 0; t < 4; ++t) {
        const Indices o = six(r, t);
        const uint32_t opposite = 6 - o[0] - o[2] - o[4];  // the vertex not on this face
        EXPECT_EQ(o[1], opposite);
        EXPECT_EQ(o[3], opposite);
        EXPECT_EQ(o[5], opposite);
    }
}

TEST(Adjacency, SharedDirectedEdgesGetCopiedCorners)
{
    // (1, 2, 3) runs 1->2 like (0, 1, 2): its a is copied.
    Result r = build({0, 1, 2, 1, 2, 3}, 4);
    EXPECT_EQ(six(r, 1), (Indices{3, 3, 4, 4, 2, 2}));
    EXPECT_EQ(r.vertexCount, 5);
    expectCopyOf(r, 4, 1);
    EXPECT_EQ(r.printed, std::string(kWarning) + "Boundaries: 6\n");

    // All three edges repeated: a and b are copied, a first.
    r = build({0, 1, 2, 0, 1, 2}, 3);
    EXPECT_EQ(six(r, 1), (Indices{2, 2, 3, 3, 4, 4}));
    expectCopyOf(r, 3, 0);
    expectCopyOf(r, 4, 1);

    // (0, 1, 2) finds c->a (2->0) and b->c (1->2) held but a->b free. Copying
    // only a would take 1->2 away from (1, 2, 4), whose twin 2->1 in (2, 1, 7)
    // would then pair with the copy instead; b is copied too.
    r = build({2, 0, 3, 1, 2, 4, 0, 1, 2, 2, 1, 7}, 8);
    EXPECT_EQ(six(r, 2), (Indices{2, 2, 8, 8, 9, 9}));
    EXPECT_EQ(r.vertexCount, 10);
    expectCopyOf(r, 8, 0);
    expectCopyOf(r, 9, 1);
    EXPECT_EQ(six(r, 1), (Indices{4, 4, 1, 7, 2, 2}));
    EXPECT_EQ(six(r, 3), (Indices{7, 7, 2, 4, 1, 1}));
    EXPECT_EQ(r.printed, std::string(kWarning) + "Boundaries: 10\n");
}
