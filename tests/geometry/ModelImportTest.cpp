#include "geometry/ImportAhead.h"
#include "geometry/ModelImportFixture.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cmath>
#include <sstream>

namespace fs = std::filesystem;

TEST_F(ModelImportTest, NodesBakeTheirWholeTransformChain)
{
    ImportOptions raw;
    raw.align = false;

    // Two nodes share one mesh: its vertices come twice, each with its node's matrix.
    const std::string shared = write("shared.dae", collada("Y_UP", R"(
      <node id="a"><translate>10 0 0</translate><instance_geometry url="#tri"/></node>
      <node id="b"><translate>0 0 -7</translate><instance_geometry url="#tri"/></node>)"));
    {
        Assimp::Importer check;
        const aiScene* scene = check.ReadFile(shared, 0);
        ASSERT_TRUE(scene);
        ASSERT_EQ(scene->mNumMeshes, 1u) << "the file must share one mesh between the nodes";
    }
    Mesh twice;
    load(shared, twice, raw);
    ASSERT_TRUE(twice.uploaded);
    ASSERT_EQ(twice.vertexCount, 6);
    EXPECT_EQ(twice.indexCount, 6);
    expectIndicesInRange(twice);
    expectVertices(vertices(twice.positions, 0, 3), {{{10, 0, 1}, {11, 0, 1}, {10, 1, 1}}}, "first node");
    expectVertices(vertices(twice.positions, 3, 3), {{{0, 0, -6}, {1, 0, -6}, {0, 1, -6}}}, "second node");

    // Z up gives the root its own rotation (x, y, z) -> (x, z, -y). The child's
    // vertices go through root x parent x child; any other order or a missing
    // root moves them elsewhere. The parent comes before its child.
    const std::string nested = write("nested.dae", collada("Z_UP", R"(
      <node id="parent"><translate>10 0 0</translate><scale>2 2 2</scale>
        <instance_geometry url="#tri"/>
        <node id="child"><translate>0 5 0</translate><scale>1 1 3</scale>
          <instance_geometry url="#tri"/>
        </node>
      </node>)"));
    Mesh chain;
    load(nested, chain, raw);
    ASSERT_TRUE(chain.uploaded);
    ASSERT_EQ(chain.vertexCount, 6);
    expectVertices(vertices(chain.positions, 0, 3), {{{10, 2, 0}, {12, 2, 0}, {10, 2, -2}}}, "parent");
    expectVertices(vertices(chain.positions, 3, 3), {{{10, 6, -10}, {12, 6, -10}, {10, 6, -12}}}, "child");
    // Uniform scales and a rotation keep the face normal along the root's turn of +z.
    ASSERT_EQ(chain.normals.size(), 18u);
    EXPECT_GT(chain.normals[1], 0.0f);
    EXPECT_NEAR(chain.normals[0], 0.0f, 1e-5f);
    EXPECT_NEAR(chain.normals[2], 0.0f, 1e-5f);
}

TEST_F(ModelImportTest, PartsAreTheNodesWithTriangles)
{
    // Two nodes share a name with a space in it, a third holds nothing and
    // the fourth is a child: three parts with words for ids, in visiting
    // order, whose ranges tile the streams.
    const std::string path = write("parts.dae", collada("Y_UP", R"(
      <node id="wheel nut"><translate>10 0 0</translate><instance_geometry url="#tri"/>
        <node id="pin"><instance_geometry url="#tri"/></node>
      </node>
      <node id="empty"/>
      <node id="wheel nut"><translate>0 0 -7</translate><instance_geometry url="#tri"/></node>)"));
    Mesh mesh;
    std::vector<ModelPart> parts;
    testing::internal::CaptureStdout();
    importModel(path, mesh, ImportOptions{}, &parts);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(mesh.uploaded);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].id, "wheel_nut");
    EXPECT_EQ(parts[1].id, "pin");
    EXPECT_EQ(parts[2].id, "wheel_nut#2");
    int32_t vertex = 0, index = 0;
    for (const ModelPart& part : parts) {
        EXPECT_EQ(part.firstVertex, vertex);
        EXPECT_EQ(part.firstIndex, index);
        EXPECT_EQ(part.vertexCount, 3);
        EXPECT_EQ(part.indexCount, 3);
        vertex += part.vertexCount;
        index += part.indexCount;
    }
    EXPECT_EQ(vertex, mesh.vertexCount);
    EXPECT_EQ(index, mesh.indexCount);
}

TEST_F(ModelImportTest, AlignmentMovesTheBoundingBox)
{
    const std::string path = write("box.obj", boxObj);
    auto bounds = [](const Mesh& m, int axis) {
        float lo = INFINITY, hi = -INFINITY;
        for (int v = 0; v < m.vertexCount; ++v) {
            lo = std::min(lo, m.positions[3 * v + axis]);
            hi = std::max(hi, m.positions[3 * v + axis]);
        }
        return std::make_pair(lo, hi);
    };

    Mesh centred;
    EXPECT_EQ(load(path, centred), "Loaded model from " + path + "\n");
    ASSERT_TRUE(centred.uploaded);
    ASSERT_GT(centred.vertexCount, 0);
    for (int axis = 0; axis < 3; ++axis) {
        const auto [lo, hi] = bounds(centred, axis);
        EXPECT_FLOAT_EQ(lo, -hi) << "axis " << axis;
        EXPECT_GT(hi, 0.0f) << "axis " << axis;
    }

    ImportOptions minX;
    minX.alignX = AxisAlign::Min;
    minX.alignY = AxisAlign::None;
    minX.alignZ = AxisAlign::None;
    Mesh left;
    load(path, left, minX);
    EXPECT_EQ(bounds(left, 0), std::make_pair(0.0f, 3.0f));
    EXPECT_EQ(bounds(left, 1), std::make_pair(2.0f, 7.0f));
    EXPECT_EQ(bounds(left, 2), std::make_pair(3.0f, 9.0f));

    ImportOptions maxZ = minX;
    maxZ.alignX = static_cast<AxisAlign>(7); // unknown values leave the axis alone
    maxZ.alignZ = AxisAlign::Max;
    Mesh top;
    load(path, top, maxZ);
    EXPECT_EQ(bounds(top, 0), std::make_pair(1.0f, 4.0f));
    EXPECT_EQ(bounds(top, 2), std::make_pair(-6.0f, 0.0f));
}

TEST_F(ModelImportTest, StreamsFollowTheOptions)
{
    // Vertex colours lose their alpha.
    const std::string ply = write("colored.ply", "ply\nformat ascii 1.0\nelement vertex 3\n"
                                                 "property float x\nproperty float y\nproperty float z\n"
                                                 "property float red\nproperty float green\nproperty float blue\n"
                                                 "property float alpha\n"
                                                 "element face 1\nproperty list uchar int vertex_indices\n"
                                                 "end_header\n"
                                                 "0 0 0 0.25 0.5 0.75 0.5\n"
                                                 "1 0 0 0.125 0.375 0.625 0.5\n"
                                                 "0 1 0 1 0 0.5 0.5\n"
                                                 "3 0 1 2\n");
    ImportOptions raw;
    raw.align = false;
    Mesh painted;
    load(ply, painted, raw);
    ASSERT_TRUE(painted.uploaded);
    ASSERT_EQ(painted.vertexCount, 3);
    ASSERT_EQ(painted.colors.size(), 9u);
    const std::vector<std::pair<Vertex, Vertex>> expected = {
        {{0, 0, 0}, {0.25f, 0.5f, 0.75f}}, {{1, 0, 0}, {0.125f, 0.375f, 0.625f}}, {{0, 1, 0}, {1, 0, 0.5f}}};
    for (int v = 0; v < 3; ++v) {
        const Vertex p{painted.positions[3 * v], painted.positions[3 * v + 1], painted.positions[3 * v + 2]};
        const Vertex c{painted.colors[3 * v], painted.colors[3 * v + 1], painted.colors[3 * v + 2]};
        auto match = std::find_if(expected.begin(), expected.end(), [&](const auto& e) { return e.first == p; });
        ASSERT_NE(match, expected.end());
        EXPECT_EQ(c, match->second) << "vertex " << v;
    }

    // Without vertex colours every vertex takes the material's diffuse colour.
    write("box.mtl", "newmtl paint\nKd 0.2 0.4 0.6\n");
    const std::string obj = write("painted-box.obj", std::string("mtllib box.mtl\nusemtl paint\n") + boxObj);
    Mesh plain;
    load(obj, plain);
    ASSERT_TRUE(plain.uploaded);
    // A quad and a triangle: three triangles after triangulation.
    EXPECT_EQ(plain.indexCount, 9);
    expectIndicesInRange(plain);
    ASSERT_EQ(plain.colors.size(), 3u * plain.vertexCount);
    for (int v = 0; v < plain.vertexCount; ++v)
        expectVertices({{plain.colors[3 * v], plain.colors[3 * v + 1], plain.colors[3 * v + 2]}},
                       {{0.2f, 0.4f, 0.6f}}, "material colour");
    EXPECT_EQ(plain.normals.size(), 3u * plain.vertexCount) << "generated normals";
    EXPECT_EQ(plain.vertexBuffers.size(), 3u);

    ImportOptions bare;
    bare.withNormals = false;
    bare.withColors = false;
    Mesh positionsOnly;
    load(obj, positionsOnly, bare);
    ASSERT_TRUE(positionsOnly.uploaded);
    EXPECT_TRUE(positionsOnly.normals.empty());
    EXPECT_TRUE(positionsOnly.colors.empty());
    EXPECT_EQ(positionsOnly.vertexBuffers.size(), 1u);
    EXPECT_EQ(positionsOnly.indexCount, 9);
}

TEST_F(ModelImportTest, FacesOutsideTheirMeshAreDroppedAndTheRestKept)
{
    const std::string path = write("badface.ply", "ply\nformat ascii 1.0\nelement vertex 4\n"
                                                  "property float x\nproperty float y\nproperty float z\n"
                                                  "element face 3\nproperty list uchar int vertex_indices\n"
                                                  "end_header\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n"
                                                  "3 0 1 2\n3 0 1 9\n3 1 3 2\n");
    Mesh mesh;
    const std::string out = load(path, mesh);
    EXPECT_EQ(out, "WARNING: skipped 1 faces with missing or non-finite vertices in " + path +
                       "\nLoaded model from " + path + "\n");
    ASSERT_TRUE(mesh.uploaded);
    EXPECT_EQ(mesh.indexCount, 6) << "both good triangles";
    EXPECT_EQ(mesh.vertexCount, 4);
    expectIndicesInRange(mesh);
}

// Scenes built by hand reach what no importer hands over on purpose.
TEST(ModelImportBakeTest, MalformedScenesStayInBounds)
{
    aiScene scene;
    scene.mNumMeshes = 4;
    scene.mMeshes = new aiMesh*[4];

    // Mesh 0: no normals, a material that does not exist, a point, a line, a
    // quad that escaped triangulation, a triangle naming vertex 9 and one
    // with a vertex at infinity.
    aiMesh* odd = scene.mMeshes[0] = new aiMesh;
    odd->mNumVertices = 5;
    odd->mVertices = new aiVector3D[5]{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {INFINITY, 0, 0}};
    odd->mMaterialIndex = 7;
    const std::vector<std::vector<unsigned>> faces = {{0}, {0, 1}, {0, 1, 2, 3}, {0, 1, 9}, {4, 0, 1}};
    odd->mNumFaces = static_cast<unsigned>(faces.size());
    odd->mFaces = new aiFace[faces.size()];
    for (size_t f = 0; f < faces.size(); ++f) {
        odd->mFaces[f].mNumIndices = static_cast<unsigned>(faces[f].size());
        odd->mFaces[f].mIndices = new unsigned[faces[f].size()];
        std::copy(faces[f].begin(), faces[f].end(), odd->mFaces[f].mIndices);
    }

    // Mesh 1: a triangle with normals, placed by a node that flattens z.
    aiMesh* flat = scene.mMeshes[1] = new aiMesh;
    flat->mNumVertices = 3;
    flat->mVertices = new aiVector3D[3]{{0, 0, 5}, {1, 0, 5}, {0, 1, 5}};
    flat->mNormals = new aiVector3D[3]{{0, 0, 1}, {0, 0, 1}, {1, 0, 0}};
    flat->mNumFaces = 1;
    flat->mFaces = new aiFace[1];
    flat->mFaces[0].mNumIndices = 3;
    flat->mFaces[0].mIndices = new unsigned[3]{0, 1, 2};

    // Mesh 2: points only. Mesh 3: empty.
    aiMesh* dots = scene.mMeshes[2] = new aiMesh;
    dots->mNumVertices = 2;
    dots->mVertices = new aiVector3D[2]{{50, 50, 50}, {-50, -50, -50}};
    dots->mNumFaces = 2;
    dots->mFaces = new aiFace[2];
    for (unsigned f = 0; f < 2; ++f) {
        dots->mFaces[f].mNumIndices = 1;
        dots->mFaces[f].mIndices = new unsigned[1]{f};
    }
    scene.mMeshes[3] = new aiMesh;

    scene.mRootNode = new aiNode("root");
    scene.mRootNode->mNumMeshes = 4;
    scene.mRootNode->mMeshes = new unsigned[4]{0, 2, 3, 99};
    aiNode* flattener = new aiNode("flattener");
    aiMatrix4x4::Scaling(aiVector3D(1, 1, 0), flattener->mTransformation);
    flattener->mNumMeshes = 1;
    flattener->mMeshes = new unsigned[1]{1};
    scene.mRootNode->addChildren(1, &flattener);

    const BakedModel model = bakeScene(scene, ImportOptions{});

    ASSERT_EQ(model.vertexCount, 8);
    ASSERT_EQ(model.positions.size(), 24u);
    EXPECT_EQ(model.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 5, 6, 7}));
    EXPECT_EQ(model.brokenTriangles, 2u);
    // The infinite vertex stays out of the centring: the box is x 0..1,
    // y 0..1, z 0..0 (flattened).
    EXPECT_TRUE(std::all_of(model.positions.begin(), model.positions.end(), [](float p) { return std::isfinite(p); }));
    EXPECT_EQ(std::vector<float>(model.positions.begin(), model.positions.begin() + 3),
              (std::vector<float>{-0.5f, -0.5f, 0.0f}));
    EXPECT_EQ(model.positions[17], 0.0f);
    ASSERT_EQ(model.normals.size(), 24u);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(model.normals[i], 0.0f) << "missing normals become zeros";
    // The singular node matrix still gives finite normals: the flattened
    // triangle faces +z, a sideways normal collapses.
    EXPECT_EQ(std::vector<float>(model.normals.begin() + 15, model.normals.end()),
              (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 0}));
    ASSERT_EQ(model.colors.size(), 24u);
    EXPECT_TRUE(std::all_of(model.colors.begin(), model.colors.begin() + 15, [](float c) { return c == 0.0f; }))
        << "an unknown material colours black";
}

TEST_F(ModelImportTest, AnImportStartedAheadIsTakenOnceByTheSameFileAndOptions)
{
    const std::string path = write("ahead.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    // Another spelling of the same file finds it; other options do not.
    startImportAhead((dir / "." / "ahead.obj").string(), ImportOptions());
    ImportOptions flat;
    flat.withNormals = false;
    EXPECT_FALSE(takeImportAhead(path, flat));

    Mesh mesh;
    EXPECT_NE(load(path, mesh).find("Loaded model from " + path), std::string::npos);
    ASSERT_TRUE(mesh.uploaded);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_FALSE(takeImportAhead(path, ImportOptions())) << "the import above took the result started ahead";

    // What is not a regular file is not started: the import refuses it itself.
    startImportAhead(dir.string(), ImportOptions());
    EXPECT_FALSE(takeImportAhead(dir.string(), ImportOptions()));
}
