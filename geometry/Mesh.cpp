#include "geometry/Mesh.h"

#include "app/Platform.h"
#include "geometry/Adjacency.h"
#include "geometry/TextureArray.h"

#include <iostream>

namespace {

GLenum plainMode(GLenum mode)
{
    switch (mode) {
    case GL_LINES_ADJACENCY: return GL_LINES;
    case GL_LINE_STRIP_ADJACENCY: return GL_LINE_STRIP;
    case GL_TRIANGLES_ADJACENCY: return GL_TRIANGLES;
    case GL_TRIANGLE_STRIP_ADJACENCY: return GL_TRIANGLE_STRIP;
    default: return mode;
    }
}

GLenum adjacencyMode(GLenum mode)
{
    switch (mode) {
    case GL_LINES: case GL_LINES_ADJACENCY: return GL_LINES_ADJACENCY;
    case GL_LINE_STRIP: case GL_LINE_STRIP_ADJACENCY: return GL_LINE_STRIP_ADJACENCY;
    case GL_TRIANGLES: case GL_TRIANGLES_ADJACENCY: return GL_TRIANGLES_ADJACENCY;
    case GL_TRIANGLE_STRIP: case GL_TRIANGLE_STRIP_ADJACENCY: return GL_TRIANGLE_STRIP_ADJACENCY;
    default: return mode;
    }
}

} // namespace

Mesh::~Mesh()
{
    if (glContextAlive())
        release();
}

void Mesh::upload(const MeshData& data)
{
    if (uploaded)
        release();
    boundsKnown = false;
    bool adjacency = data.adjacency;
    if (adjacency && (data.normals || data.texCoords || data.colors || data.textureSlots)) {
        std::cout << "WARNING: Adjacency only supported for meshes without normals, colors or texture coordinates. "
                     "Turning off adjacency!"
                  << std::endl;
        adjacency = false;
    }
    primitiveMode = adjacency ? adjacencyMode(data.primitiveMode) : plainMode(data.primitiveMode);

    const int32_t n = data.vertexCount > 0 && data.positions ? data.vertexCount : 0;
    const bool hasIndices = data.indexCount > 0 && data.indices;
    bool builtByAdjacency = false;
    if (hasIndices && adjacency && primitiveMode == GL_TRIANGLES_ADJACENCY) {
        int triangles = data.indexCount / 3;
        indexCount = triangles * 6;
        indices.assign(static_cast<size_t>(indexCount), 0);
        int newCount = 0;
        buildAdjacency(triangles, data.indices, indices.data(), n, data.positions, newCount, positions);
        vertexCount = newCount;
        builtByAdjacency = true;
    } else if (hasIndices) {
        if (adjacency)
            std::cout << "WARNING: Primitive Mode not supported!" << std::endl;
        indexCount = data.indexCount;
        indices.assign(data.indices, data.indices + indexCount);
    } else {
        indexCount = -1;
    }
    if (!builtByAdjacency) {
        vertexCount = n;
        positions.assign(data.positions, data.positions + 3 * static_cast<size_t>(n));
    }
    // Streams other than positions follow the caller's vertex count; vertex
    // copies made for adjacency never come with them.
    if (data.normals)
        normals.assign(data.normals, data.normals + 3 * static_cast<size_t>(n));
    if (data.texCoords)
        texCoords.assign(data.texCoords, data.texCoords + 2 * static_cast<size_t>(n));
    if (data.colors)
        colors.assign(data.colors, data.colors + 3 * static_cast<size_t>(n));
    if (data.textureSlots)
        textureSlots.assign(data.textureSlots, data.textureSlots + static_cast<size_t>(n));

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    struct Stream {
        const std::vector<float>& values;
        GLuint location;
        GLint components;
        bool present;
    };
    const Stream streams[] = {
        {positions, PositionLocation, 3, true},
        {normals, NormalLocation, 3, data.normals != nullptr},
        {texCoords, TexCoordLocation, 2, data.texCoords != nullptr},
        {colors, ColorLocation, 3, data.colors != nullptr},
        {textureSlots, TextureSlotLocation, 1, data.textureSlots != nullptr},
    };
    for (const Stream& s : streams) {
        if (!s.present)
            continue;
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        vertexBuffers.push_back(buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(s.values.size() * sizeof(float)),
                     s.values.empty() ? nullptr : s.values.data(), GL_STATIC_DRAW);
        glEnableVertexAttribArray(s.location);
        glVertexAttribPointer(s.location, s.components, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    if (indexCount > 0) {
        glGenBuffers(1, &indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    uploaded = true;
}

void Mesh::draw() const
{
    if (!uploaded)
        return;
    glBindVertexArray(vertexArray);
    if (indexCount == -1)
        glDrawArrays(primitiveMode, 0, vertexCount);
    else
        glDrawElements(primitiveMode, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

const Bounds& Mesh::bounds() const
{
    if (!boundsKnown) {
        cachedBounds = Bounds();
        for (size_t i = 0; i + 2 < positions.size(); i += 3)
            cachedBounds.extend(Vec3(positions[i], positions[i + 1], positions[i + 2]));
        boundsKnown = true;
    }
    return cachedBounds;
}

void Mesh::makeScreenQuad()
{
    static const float quadPositions[] = {-1, 1, 0, -1, -1, 0, 1, 1, 0, 1, -1, 0};
    static const float quadTexCoords[] = {0, 1, 0, 0, 1, 1, 1, 0};
    MeshData data;
    data.vertexCount = 4;
    data.positions = quadPositions;
    data.texCoords = quadTexCoords;
    data.indexCount = -1;
    data.primitiveMode = GL_TRIANGLE_STRIP;
    upload(data);
}

void Mesh::release()
{
    if (uploaded) {
        if (!vertexBuffers.empty())
            glDeleteBuffers(static_cast<GLsizei>(vertexBuffers.size()), vertexBuffers.data());
        if (indexBuffer != none)
            glDeleteBuffers(1, &indexBuffer);
        glDeleteVertexArrays(1, &vertexArray);
    }
    vertexBuffers.clear();
    indexBuffer = none;
    vertexArray = none;
    boundsKnown = false;
    positions.clear();
    normals.clear();
    texCoords.clear();
    colors.clear();
    textureSlots.clear();
    baseColorMap.reset();
    indices.clear();
    vertexCount = -1;
    indexCount = -1;
    uploaded = false;
}
