// Ray casting through hidden objects and the Ctrl + click walk into depth,
// without GL: meshes here hold CPU copies only.
#include "geometry/Mesh.h"
#include "interaction/PickBehind.h"
#include "interaction/RayPick.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A closed cube of half size h about the origin, as twelve indexed triangles.
void fillCube(Mesh& mesh, float h)
{
    mesh.positions.clear();
    for (int i = 0; i < 8; ++i)
        for (float c : {i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h})
            mesh.positions.push_back(c);
    mesh.indices = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                    2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    mesh.indexCount = static_cast<int32_t>(mesh.indices.size());
    mesh.vertexCount = 8;
    mesh.primitiveMode = GL_TRIANGLES;
}

Mat4 placedAt(const Vec3& t, float scale)
{
    SRTTransform srt;
    srt.translation = t;
    srt.scale = scale;
    srt.recompute();
    return srt.localMatrix;
}

} // namespace

TEST(RayPick, NearestHitOnThePlacedTrianglesOnly)
{
    Mesh cube;
    fillCube(cube, 1.0f);
    const Mat4 world = placedAt(Vec3(0, 0, -10), 2.0f); // faces at z = -8 and -12
    float t = 0;
    ASSERT_TRUE(nearestRayHit(cube, world, Vec3(0.5f, 0.5f, 0), Vec3(0, 0, -2), 0.0f, 1e9f, t));
    EXPECT_NEAR(t, 4.0f, 1e-5f) << "the front face, in units of the unnormalised direction";
    // Back faces count: from inside the box the far wall is met.
    ASSERT_TRUE(nearestRayHit(cube, world, Vec3(0, 0, -10), Vec3(0, 0, -1), 0.0f, 1e9f, t));
    EXPECT_NEAR(t, 2.0f, 1e-5f);
    // The range limits: nothing before tMin, nothing after tMax.
    ASSERT_TRUE(nearestRayHit(cube, world, Vec3(0, 0, 0), Vec3(0, 0, -1), 9.0f, 1e9f, t));
    EXPECT_NEAR(t, 12.0f, 1e-5f);
    EXPECT_FALSE(nearestRayHit(cube, world, Vec3(0, 0, 0), Vec3(0, 0, -1), 0.0f, 7.9f, t));
    // Past the scaled edge (2 units from the axis), and pointing away.
    EXPECT_FALSE(nearestRayHit(cube, world, Vec3(2.1f, 0, 0), Vec3(0, 0, -1), 0.0f, 1e9f, t));
    EXPECT_FALSE(nearestRayHit(cube, world, Vec3(0, 0, 0), Vec3(0, 0, 1), 0.0f, 1e9f, t));
    // A model flattened to nothing has no area to meet.
    EXPECT_FALSE(nearestRayHit(cube, placedAt(Vec3(0, 0, -10), 0.0f), Vec3(0, 0, 0), Vec3(0, 0, -1), 0, 1e9f, t));
}

TEST(RayPick, EveryTriangleLayoutIsReadAndBadDataIsNeverHit)
{
    Mesh indexed;
    fillCube(indexed, 1.0f);
    const Mat4 world = placedAt(Vec3(0, 0, -5), 1.0f);
    const Vec3 o(0.3f, -0.2f, 0), d(0, 0, -1);
    float expected = 0, t = 0;
    ASSERT_TRUE(nearestRayHit(indexed, world, o, d, 0, 1e9f, expected));

    Mesh soup; // the same triangles, vertices repeated, no index list
    for (uint32_t i : indexed.indices)
        for (int c = 0; c < 3; ++c)
            soup.positions.push_back(indexed.positions[3 * i + c]);
    soup.primitiveMode = GL_TRIANGLES;
    ASSERT_TRUE(nearestRayHit(soup, world, o, d, 0, 1e9f, t));
    EXPECT_FLOAT_EQ(t, expected);

    Mesh adjacency; // neighbour slots hold a vertex far off the triangle
    adjacency.positions = indexed.positions;
    for (size_t i = 0; i < indexed.indices.size(); i += 3)
        for (uint32_t v : {indexed.indices[i], 7u, indexed.indices[i + 1], 7u, indexed.indices[i + 2], 7u})
            adjacency.indices.push_back(v);
    adjacency.indexCount = static_cast<int32_t>(adjacency.indices.size());
    adjacency.primitiveMode = GL_TRIANGLES_ADJACENCY;
    ASSERT_TRUE(nearestRayHit(adjacency, world, o, d, 0, 1e9f, t));
    EXPECT_FLOAT_EQ(t, expected);

    Mesh strip; // a quad in z = -5 as two strips split by a restart
    strip.positions = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
    strip.indices = {0, 1, 2, Mesh::restartIndex, 1, 3, 2};
    strip.indexCount = 7;
    strip.primitiveMode = GL_TRIANGLE_STRIP;
    EXPECT_TRUE(nearestRayHit(strip, world, Vec3(0.6f, 0.6f, 0), d, 0, 1e9f, t)) << "second strip";

    Mesh empty, lines, broken;
    lines.positions = indexed.positions;
    lines.primitiveMode = GL_LINES;
    broken.positions = indexed.positions;
    broken.indices = {0, 2, 99, 0, 3, 1000};
    broken.indexCount = 6;
    for (Mesh* m : {&empty, &lines, &broken})
        EXPECT_FALSE(nearestRayHit(*m, world, Vec3(0, 0, 0), d, 0, 1e9f, t));
}

TEST(RayPick, NestedShellsComeFrontToBackAndMissesAreLeftOut)
{
    Scene scene;
    SceneLoader loader(&scene);
    // Four cubes about one centre (outermost placed last) and one off to the side.
    std::vector<std::unique_ptr<Mesh>> meshes;
    std::vector<MeshInstance*> shells;
    for (float h : {1.0f, 2.0f, 3.0f, 4.0f, 1.0f}) {
        meshes.push_back(std::make_unique<Mesh>());
        fillCube(*meshes.back(), h);
        SceneNode* node = loader.createInstance(meshes.back().get());
        shells.push_back(dynamic_cast<MeshInstance*>(node->attachments.front()));
    }
    shells.back()->node->srt()->translation = Vec3(30, 0, 0);
    Mesh none;
    loader.createInstance(&none); // a failed import: no geometry, never hit

    std::vector<RayHit> hits = instancesAlongRay(scene, Vec3(0, 0, 50), Vec3(0, 0, -1), 0.0f, 1e9f);
    ASSERT_EQ(hits.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(hits[i].instance, shells[3 - i]) << "position " << i;
        EXPECT_NEAR(hits[i].t, 50.0f - 4.0f + i, 1e-4f);
    }
    // Transforms are read from the nodes at once, not from the last frame.
    shells[0]->node->srt()->translation = Vec3(0, 0, 20);
    hits = instancesAlongRay(scene, Vec3(0, 0, 50), Vec3(0, 0, -1), 0.0f, 1e9f);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0].instance, shells[0]);
}

TEST(PickBehind, StepsBehindThePlainPickThenAlongTheRun)
{
    PickBehind pick;
    const std::vector<uint32_t> globe = {11, 12, 13, 14}; // crust, mantle, outer, inner core
    // A plain click at the centre would take the crust: the one behind it.
    EXPECT_EQ(pick.choose(globe, 11, 400, 400), 12u);
    // The next ones step on from the previous choice, whatever the id image
    // shows now (here the newly selected cutter).
    EXPECT_EQ(pick.choose(globe, 12, 401, 398), 13u);
    EXPECT_EQ(pick.choose(globe, 13, 403, 400), 14u) << "2 px from the previous click is the same pixel";
    EXPECT_EQ(pick.choose(globe, 14, 403, 400), 11u) << "wraps after the last";

    // Farther than 2 px, or after another click, the plain pick there counts again.
    EXPECT_EQ(pick.choose(globe, 13, 406, 400), 14u);
    pick.otherClick();
    EXPECT_EQ(pick.choose(globe, 11, 406, 400), 12u);

    // The object chosen last is gone from the ray (deleted, camera moved):
    // back to the plain rule; and with no plain pick on the ray, the front.
    EXPECT_EQ(pick.choose({11, 13, 14}, 13, 406, 400), 14u);
    pick.otherClick();
    EXPECT_EQ(pick.choose(globe, 0, 10, 10), 11u);
    EXPECT_EQ(pick.choose(globe, 99, 500, 10), 11u);

    // A single object wraps onto itself; an empty ray chooses nothing and
    // ends the run.
    EXPECT_EQ(pick.choose({14}, 14, 500, 10), 14u);
    EXPECT_EQ(pick.choose({}, 0, 500, 10), 0u);
    EXPECT_EQ(pick.choose(globe, 11, 500, 10), 12u);
}
