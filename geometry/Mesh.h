#pragma once
#include <epoxy/gl.h>

#include "math/Bounds.h"

#include <cstdint>
#include <memory>
#include <vector>

class TextureArray;

// Attribute locations every mesh and every shader that draws one agree on.
enum MeshAttribute : GLuint {
    PositionLocation = 1,
    NormalLocation = 2,
    TexCoordLocation = 3,
    ColorLocation = 4,
    // Which base-colour image a vertex samples (0: none, k: layer k - 1);
    // meshes without images leave it disabled, so it reads 0.
    TextureSlotLocation = 5,
};

// A producer's description of geometry; upload copies it, the caller keeps
// ownership of the arrays.
struct MeshData {
    int32_t vertexCount = 0;
    const float* positions = nullptr; // 3 per vertex, required
    const float* normals = nullptr;   // 3 per vertex
    const float* texCoords = nullptr; // 2 per vertex
    const float* colors = nullptr;    // 3 per vertex
    const float* textureSlots = nullptr; // 1 per vertex
    int32_t indexCount = -1;          // 0 or less: no index list
    const uint32_t* indices = nullptr;
    GLenum primitiveMode = GL_TRIANGLES;
    bool adjacency = false;
};

// All drawable geometry: CPU copies of the streams, one vertex array object
// with one buffer per stream, immutable after upload.
class Mesh {
public:
    static constexpr GLuint none = static_cast<GLuint>(-1);
    static constexpr uint32_t restartIndex = 0xFFFFFFFFu;

    Mesh() = default;
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    void upload(const MeshData& data);
    void draw() const;
    void makeScreenQuad();
    // Deletes the GL objects and the CPU copies now.
    void release();
    // Object-space box of the vertex copies, found on first use (the copies
    // do not change after upload); empty for a mesh without positions.
    const Bounds& bounds() const;

    GLuint vertexArray = none;
    int32_t vertexCount = -1;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texCoords;
    std::vector<float> colors;
    std::vector<float> textureSlots;
    // The images textureSlots name; shared by the parts cut from one model.
    std::shared_ptr<const TextureArray> baseColorMap;
    std::vector<GLuint> vertexBuffers;
    int32_t indexCount = -1;
    std::vector<uint32_t> indices;
    GLuint indexBuffer = none;
    GLenum primitiveMode = GL_TRIANGLES;
    bool uploaded = false;

private:
    mutable Bounds cachedBounds;
    mutable bool boundsKnown = false;
};
