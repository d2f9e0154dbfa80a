#pragma once
#include "geometry/Mesh.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct aiScene;

// What alignment does on one axis of the model's bounding box. Values outside
// the enumeration act as None.
enum class AxisAlign : int32_t {
    Min = 0,    // the box's minimum moves to 0
    Center = 1, // the box's centre moves to 0
    Max = 2,    // the box's maximum moves to 0
    None = 3,
};

struct ImportOptions {
    bool withNormals = true; // also asks the importer to generate missing normals
    bool withColors = true;  // first vertex colour set, else the material's diffuse colour
    bool align = true;
    AxisAlign alignX = AxisAlign::Center;
    AxisAlign alignY = AxisAlign::Center;
    AxisAlign alignZ = AxisAlign::Center;
};

// Reads one model file of any format the importer knows and uploads all its
// meshes, each baked with its node's accumulated transformation, into `mesh`
// as one indexed triangle list. On failure prints the importer's message and
// leaves `mesh` untouched (not uploaded).
void importModel(const std::string& path, Mesh& mesh, const ImportOptions& options);

// The scene flattened into the streams importModel uploads. normals and
// colors are empty unless asked for; every index is below vertexCount.
struct BakedModel {
    int32_t vertexCount = 0;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> colors;
    std::vector<uint32_t> indices;
    // Triangles dropped because they named a vertex their mesh does not have
    // or one whose position is not finite.
    size_t brokenTriangles = 0;
};

// The GL-free half of importModel: walks the node tree, bakes and aligns.
// Faces with fewer than three corners (points and lines) are skipped, and a
// mesh without any triangle contributes no vertices.
BakedModel bakeScene(const aiScene& scene, const ImportOptions& options);
