// Files an import refuses or stops, each with its reason: unreadable ones,
// points and lines alone, files the importer hangs on or that ask for more
// memory than the limit, and paths that are not regular files.
#include "geometry/ModelImportFixture.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST_F(ModelImportTest, UnreadableFileReportsTwoLinesAndUploadsNothing)
{
    Mesh mesh;
    const std::string out = load((dir / "missing.dae").string(), mesh);
    const std::string first = "Error while loading Collada file: \n";
    ASSERT_EQ(out.compare(0, first.size(), first), 0) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_GT(out.size(), first.size() + 1) << "the importer's message follows";
    EXPECT_EQ(out.back(), '\n');
    EXPECT_FALSE(mesh.uploaded);
    EXPECT_EQ(mesh.vertexCount, -1);
    EXPECT_EQ(mesh.vertexArray, Mesh::none);
}

TEST_F(ModelImportTest, PointsAndLinesAreLeftOut)
{
    // Sorting by primitive type puts the line and the point in meshes of their own.
    const std::string mixed = write("mixed.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nv 6 6 6\n"
                                                 "f 1 2 3\nl 4 5\np 5\n");
    Mesh mesh;
    load(mixed, mesh);
    ASSERT_TRUE(mesh.uploaded);
    EXPECT_EQ(mesh.vertexCount, 3) << "only the triangle's vertices";
    EXPECT_EQ(mesh.indexCount, 3);
    expectIndicesInRange(mesh);

    // Files with nothing to fill load as an empty model: a point cloud (a
    // mesh without faces) and a file of points and lines only.
    const std::string cloud = write("cloud.ply", "ply\nformat ascii 1.0\nelement vertex 3\n"
                                                 "property float x\nproperty float y\nproperty float z\n"
                                                 "end_header\n0 0 0\n1 0 0\n0 1 0\n");
    const std::string strokes = write("strokes.obj", "v 0 0 0\nv 1 0 0\np 1\nl 1 2\n");
    for (const std::string& path : {cloud, strokes}) {
        Mesh empty;
        EXPECT_EQ(load(path, empty), "Loaded model from " + path + "\n");
        EXPECT_TRUE(empty.uploaded) << path;
        EXPECT_EQ(empty.vertexCount, 0) << path;
        EXPECT_EQ(empty.indexCount, -1) << path;
    }
}

// Files the importer hangs on cost one failed import within the time limit.
TEST_F(ModelImportTest, HangingFileFailsAtTheTimeLimit)
{
    std::ifstream in("/usr/share/assimp/models/PLY/cube_binary.ply", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 111u) << "the assimp-testmodels corpus is missing";
    setenv("TORV_IMPORT_TIMEOUT", "0.5", 1);
    for (size_t cut : {44, 111}) {
        const std::string path = write("cut" + std::to_string(cut) + ".ply", whole.substr(0, cut));
        Mesh mesh;
        const auto start = std::chrono::steady_clock::now();
        const std::string out = load(path, mesh);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(out, "Error while loading Collada file: \nthe import took longer than 0.5 s and was stopped\n");
        EXPECT_FALSE(mesh.uploaded);
        // Not a speed figure: without the limit this import never returns,
        // and the default limit is 60 s.
        EXPECT_LT(seconds, 30.0) << cut;
    }
    unsetenv("TORV_IMPORT_TIMEOUT");
    EXPECT_EQ(importTimeoutSeconds(), 60.0);
}

#ifndef __SANITIZE_ADDRESS__
// Small files that ask the importer for gigabytes: a PLY declaring two
// billion vertices, and an NFF of finely tessellated spheres. (Left to the
// plain build: AddressSanitizer's allocator ends the child itself.)
TEST_F(ModelImportTest, GreedyFilesStopAtTheMemoryLimit)
{
    const std::string ply = write("huge.ply", "ply\nformat ascii 1.0\nelement vertex 2000000000\n"
                                              "property float x\nproperty float y\nproperty float z\n"
                                              "element face 1\nproperty list uchar int vertex_indices\n"
                                              "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
    std::string spheres = "tess 7\n";
    while (spheres.size() < 20000)
        spheres += "s 0 0 0 1\n";
    const std::string nff = write("spheres.nff", spheres);
    setenv("TORV_IMPORT_MEMORY_MB", "256", 1);
    for (const std::string& path : {ply, nff}) {
        Mesh mesh;
        EXPECT_EQ(load(path, mesh), "Error while loading Collada file: \nthe import needed more than its memory "
                                    "limit of 256 MB (TORV_IMPORT_MEMORY_MB) and was stopped\n");
        EXPECT_FALSE(mesh.uploaded);
    }
    unsetenv("TORV_IMPORT_MEMORY_MB");
}
#endif

// A FIFO named like a model would keep the importer waiting for a writer; a
// folder has nothing to read. Both are refused with their reason.
TEST_F(ModelImportTest, FilesThatAreNotRegularAreRefused)
{
    const std::string fifo = (dir / "pipe.obj").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(dir / "folder.obj");
    setenv("TORV_IMPORT_TIMEOUT", "5", 1);
    Mesh a, b;
    EXPECT_EQ(load(fifo, a), "Error while loading Collada file: \n" + fifo + " is a FIFO, not a model file\n");
    EXPECT_EQ(load((dir / "folder.obj").string(), b),
              "Error while loading Collada file: \n" + (dir / "folder.obj").string() + " is a folder, not a model file\n");
    unsetenv("TORV_IMPORT_TIMEOUT");
    EXPECT_FALSE(a.uploaded || b.uploaded);
}
