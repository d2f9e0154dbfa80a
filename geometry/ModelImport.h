#pragma once
#include "geometry/Mesh.h"
#include "geometry/ModelColors.h"

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
    // One display colour per vertex from the material's colour and the first
    // vertex colour set, and the material's base-colour images.
    bool withColors = true;
    bool align = true;
    AxisAlign alignX = AxisAlign::Center;
    AxisAlign alignY = AxisAlign::Center;
    AxisAlign alignZ = AxisAlign::Center;
};

// Reads one model file of any format the importer knows and uploads all its
// meshes, each baked with its node's accumulated transformation, into `mesh`
// as one indexed triangle list. The file is read in a child process with a
// time limit (importTimeoutSeconds), so a file that hangs or crashes the
// importer fails like an unreadable one. On failure prints the two-line
// error and leaves `mesh` untouched (not uploaded). Faces that name vertices
// their mesh lacks are dropped with one warning line.
// When `parts` is given it receives the file's part table on success.
struct ModelPart;
void importModel(const std::string& path, Mesh& mesh, const ImportOptions& options,
                 std::vector<ModelPart>* parts = nullptr);

// One node of the file that contributes triangles, as a range of the baked
// streams. Its id is the node's name (bytes that cannot stand in a scene-file
// word become '_', an empty name reads "node"); a name that an earlier part
// already has gets "#2", "#3" and so on in visiting order, so the same file
// gives the same ids on every load.
struct ModelPart {
    std::string id;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstIndex = 0;
    int32_t indexCount = 0;
};

// The scene flattened into the streams importModel uploads. normals and
// colors are empty unless asked for; every index is below vertexCount.
struct BakedModel {
    int32_t vertexCount = 0;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> colors;
    // Present when some material has a readable image: 2 per vertex, and 1
    // per vertex naming the image (0: none, k: layer k - 1 of `images`).
    std::vector<float> texCoords;
    std::vector<float> textureSlots;
    BaseColorImages images;
    // Lines to print in the parent, one per image that could not be read.
    std::vector<std::string> warnings;
    std::vector<uint32_t> indices;
    // Triangles dropped because they named a vertex their mesh does not have
    // or one whose position is not finite.
    size_t brokenTriangles = 0;
    // In visiting order; the parts' vertex and index ranges follow each
    // other, and a part's indices name only its own vertices.
    std::vector<ModelPart> parts;
};

// The GL-free half of importModel: walks the node tree, bakes and aligns.
// Faces with fewer than three corners (points and lines) are skipped, and a
// mesh without any triangle contributes no vertices. Images that materials
// name by a relative path are looked for beside `modelPath`.
BakedModel bakeScene(const aiScene& scene, const ImportOptions& options, const std::string& modelPath = "");

struct ImportResult;
// Reads and bakes a file in this process, without a time limit: the work
// importModel hands to its child process.
ImportResult readModel(const std::string& path, const ImportOptions& options);
// The second half of importModel: reports and uploads what an import of
// `path` gave (run elsewhere, as a load that does not block does).
void applyImportResult(const std::string& path, const ImportResult& result, Mesh& mesh, const ImportOptions& options,
                       std::vector<ModelPart>* parts = nullptr);
