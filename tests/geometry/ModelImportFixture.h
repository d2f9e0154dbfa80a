#pragma once
// The fixture and helpers of the model import tests: a folder of files
// written by the test, quiet imports, and vertices compared as sets.
#include "geometry/ImportProcess.h"
#include "geometry/ModelImport.h"
#include "support/GLTestSupport.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using Vertex = std::array<float, 3>;

class ModelImportTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("torv-import-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        GLTest::TearDown();
    }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }

    // Imports quietly; returns what was printed.
    std::string load(const std::string& path, Mesh& mesh, const ImportOptions& options = {})
    {
        testing::internal::CaptureStdout();
        importModel(path, mesh, options);
        return testing::internal::GetCapturedStdout();
    }

    std::filesystem::path dir;
};

// The importer decides the vertex order within a mesh, so a node's vertices
// are compared as a set.
inline std::vector<Vertex> vertices(const std::vector<float>& stream, int first, int count)
{
    std::vector<Vertex> out;
    for (int v = first; v < first + count; ++v)
        out.push_back({stream[3 * v], stream[3 * v + 1], stream[3 * v + 2]});
    std::sort(out.begin(), out.end());
    return out;
}

inline void expectVertices(std::vector<Vertex> actual, std::vector<Vertex> expected, const char* what)
{
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(actual[i][k], expected[i][k], 1e-5f) << what << " vertex " << i << " axis " << k;
}

inline void expectIndicesInRange(const Mesh& mesh)
{
    for (uint32_t index : mesh.indices)
        ASSERT_LT(index, static_cast<uint32_t>(mesh.vertexCount));
}

// One triangle at z = 1 ("tri"), instanced by whatever nodes the test gives.
inline std::string collada(const std::string& upAxis, const std::string& nodes)
{
    return R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit meter="1" name="meter"/><up_axis>)" +
           upAxis + R"(</up_axis></asset>
  <library_geometries>
    <geometry id="tri" name="tri">
      <mesh>
        <source id="tri-pos">
          <float_array id="tri-pos-array" count="9">0 0 1 1 0 1 0 1 1</float_array>
          <technique_common>
            <accessor source="#tri-pos-array" count="3" stride="3">
              <param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/>
            </accessor>
          </technique_common>
        </source>
        <vertices id="tri-vtx"><input semantic="POSITION" source="#tri-pos"/></vertices>
        <triangles count="1"><input semantic="VERTEX" source="#tri-vtx" offset="0"/><p>0 1 2</p></triangles>
      </mesh>
    </geometry>
  </library_geometries>
  <library_visual_scenes>
    <visual_scene id="scene">)" +
           nodes + R"(</visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#scene"/></scene>
</COLLADA>
)";
}

// A quad and a triangle over asymmetric bounds x 1..4, y 2..7, z 3..9.
inline const char* const boxObj = "v 1 2 3\nv 4 2 3\nv 4 7 3\nv 1 7 3\nv 1 2 9\n"
                           "f 1 2 3 4\nf 1 2 5\n";
