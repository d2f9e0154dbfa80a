#include "geometry/ModelImport.h"

#include "geometry/FileProbe.h"
#include "geometry/ImportAhead.h"
#include "geometry/ImportProcess.h"
#include "geometry/TextureArray.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <unordered_map>
#include <utility>

namespace {

bool allFinite(const aiMatrix4x4& m)
{
    for (unsigned row = 0; row < 4; ++row)
        for (unsigned col = 0; col < 4; ++col)
            if (!std::isfinite(m[row][col]))
                return false;
    return true;
}

// Rows of the returned matrix give the transformed normal's x, y and z from
// (nx, ny, nz, 1): the transpose of the inverse. A singular node matrix (a
// zero scale flattening the model) has no inverse, so the cofactors of its
// 3x3 part stand in: the same directions scaled by the determinant, finite,
// and the correct plane normal for flattened geometry.
aiMatrix4x4 normalMatrix(const aiMatrix4x4& m)
{
    aiMatrix4x4 inverse = m;
    inverse.Inverse();
    if (allFinite(inverse))
        return inverse.Transpose();
    const aiVector3D a(m.a1, m.a2, m.a3), b(m.b1, m.b2, m.b3), c(m.c1, m.c2, m.c3);
    const aiVector3D r0 = b ^ c, r1 = c ^ a, r2 = a ^ b;
    return aiMatrix4x4(r0.x, r0.y, r0.z, 0, r1.x, r1.y, r1.z, 0, r2.x, r2.y, r2.z, 0, 0, 0, 0, 1);
}

bool hasTriangle(const aiMesh& mesh)
{
    if (!mesh.mFaces)
        return false;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
        if (mesh.mFaces[f].mNumIndices >= 3 && mesh.mFaces[f].mIndices)
            return true;
    return false;
}

struct Box {
    aiVector3D min{std::numeric_limits<float>::max()};
    aiVector3D max{-std::numeric_limits<float>::max()};
};

void appendMesh(MaterialLooks& looks, const aiMesh& mesh, const aiMatrix4x4& matrix, const ImportOptions& options,
                BakedModel& out, Box& box)
{
    const unsigned n = mesh.mNumVertices;
    // Vertices at infinity (or pushed there by the matrix) would spread the
    // bounding box and so the alignment over the whole model. They are stored
    // as zeros, left out of the box, and their triangles are dropped.
    std::vector<bool> unusable;
    for (unsigned v = 0; v < n; ++v) {
        const aiVector3D p = matrix * mesh.mVertices[v];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            unusable.resize(n);
            unusable[v] = true;
            out.positions.insert(out.positions.end(), {0.0f, 0.0f, 0.0f});
            continue;
        }
        for (unsigned axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], p[axis]);
            box.max[axis] = std::max(box.max[axis], p[axis]);
        }
        out.positions.insert(out.positions.end(), {p.x, p.y, p.z});
    }
    if (options.withNormals) {
        if (mesh.mNormals) {
            const aiMatrix4x4 nm = normalMatrix(matrix);
            for (unsigned v = 0; v < n; ++v) {
                const aiVector3D q = nm * mesh.mNormals[v];
                out.normals.insert(out.normals.end(), {q.x, q.y, q.z});
            }
        } else {
            // The importer generates normals for every triangle mesh, so this
            // is a file it could not help; zeros keep the stream the same
            // length as the positions.
            out.normals.resize(out.normals.size() + 3 * size_t(n), 0.0f);
        }
    }
    if (options.withColors) {
        const SurfaceLook& look = looks.look(mesh.mMaterialIndex);
        const aiVector3D* uv = look.layer >= 0 ? mesh.mTextureCoords[look.uvChannel] : nullptr;
        for (unsigned v = 0; v < n; ++v) {
            float vertexColor[3], c[3];
            if (mesh.mColors[0]) {
                vertexColor[0] = mesh.mColors[0][v].r;
                vertexColor[1] = mesh.mColors[0][v].g;
                vertexColor[2] = mesh.mColors[0][v].b;
            }
            vertexDisplayColor(look, mesh.mColors[0] ? vertexColor : nullptr, uv != nullptr, c);
            out.colors.insert(out.colors.end(), {c[0], c[1], c[2]});
        }
        // Kept for every vertex while baking; dropped at the end when no
        // image was read.
        for (unsigned v = 0; v < n; ++v) {
            const bool finite = uv && std::isfinite(uv[v].x) && std::isfinite(uv[v].y);
            out.texCoords.insert(out.texCoords.end(), {finite ? uv[v].x : 0.0f, finite ? uv[v].y : 0.0f});
            out.textureSlots.push_back(uv ? float(look.layer + 1) : 0.0f);
        }
    }
    const uint32_t base = static_cast<uint32_t>(out.vertexCount);
    const auto broken = [&](unsigned c) { return c >= n || (!unusable.empty() && unusable[c]); };
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3 || !face.mIndices)
            continue;
        // Polygons cannot survive triangulation; should one slip through it
        // is cut into a fan rather than losing its other corners.
        for (unsigned k = 1; k + 1 < face.mNumIndices; ++k) {
            const unsigned corner[3] = {face.mIndices[0], face.mIndices[k], face.mIndices[k + 1]};
            if (broken(corner[0]) || broken(corner[1]) || broken(corner[2])) {
                ++out.brokenTriangles;
                continue;
            }
            out.indices.insert(out.indices.end(), {base + corner[0], base + corner[1], base + corner[2]});
        }
    }
    out.vertexCount += static_cast<int32_t>(n);
}

float alignOffset(AxisAlign mode, float min, float max)
{
    switch (mode) {
    case AxisAlign::Min: return -min;
    case AxisAlign::Center: return (min + max) * -0.5f;
    case AxisAlign::Max: return -max;
    default: return 0.0f;
    }
}

} // namespace

namespace {

std::string partName(const aiNode& node)
{
    std::string name(node.mName.C_Str());
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= ' ' || c == '#' || c == 0x7f)
            c = '_';
    return name.empty() ? std::string("node") : name;
}

} // namespace

BakedModel bakeScene(const aiScene& scene, const ImportOptions& options, const std::string& modelPath)
{
    BakedModel out;
    MaterialLooks looks(scene, modelPath);
    std::unordered_map<std::string, int> partNames;
    Box box;
    std::vector<std::pair<const aiNode*, aiMatrix4x4>> stack;
    if (scene.mRootNode)
        stack.emplace_back(scene.mRootNode, scene.mRootNode->mTransformation);
    while (!stack.empty()) {
        const aiNode* node = stack.back().first;
        const aiMatrix4x4 matrix = stack.back().second;
        stack.pop_back();
        const int32_t firstVertex = out.vertexCount;
        const size_t firstIndex = out.indices.size();
        for (unsigned i = 0; i < node->mNumMeshes && node->mMeshes; ++i) {
            const unsigned index = node->mMeshes[i];
            if (!scene.mMeshes || index >= scene.mNumMeshes || !scene.mMeshes[index])
                continue;
            const aiMesh& mesh = *scene.mMeshes[index];
            // Point clouds and line sets have nothing to fill; their vertices
            // would only stretch the bounding box.
            if (!mesh.HasPositions() || !hasTriangle(mesh))
                continue;
            appendMesh(looks, mesh, matrix, options, out, box);
        }
        if (out.indices.size() > firstIndex) {
            ModelPart part;
            part.id = partName(*node);
            const int seen = ++partNames[part.id];
            if (seen > 1)
                part.id += "#" + std::to_string(seen);
            part.firstVertex = firstVertex;
            part.vertexCount = out.vertexCount - firstVertex;
            part.firstIndex = static_cast<int32_t>(firstIndex);
            part.indexCount = static_cast<int32_t>(out.indices.size() - firstIndex);
            out.parts.push_back(part);
        }
        for (unsigned i = node->mNumChildren; i-- > 0;) {
            const aiNode* child = node->mChildren ? node->mChildren[i] : nullptr;
            if (child)
                stack.emplace_back(child, matrix * child->mTransformation);
        }
    }

    const AxisAlign axes[3] = {options.alignX, options.alignY, options.alignZ};
    const bool anyAxis = axes[0] != AxisAlign::None || axes[1] != AxisAlign::None || axes[2] != AxisAlign::None;
    // An empty box (no finite vertex at all) has nothing to align by.
    if (options.align && anyAxis && box.min.x <= box.max.x) {
        float offset[3];
        for (unsigned axis = 0; axis < 3; ++axis)
            offset[axis] = alignOffset(axes[axis], box.min[axis], box.max[axis]);
        for (size_t i = 0; i < out.positions.size(); ++i)
            out.positions[i] += offset[i % 3];
    }
    out.images = looks.takeImages();
    out.warnings = std::move(looks.warnings);
    const bool textured = std::any_of(out.textureSlots.begin(), out.textureSlots.end(), [](float s) { return s > 0; });
    if (out.images.layers == 0 || !textured) {
        out.images = BaseColorImages();
        out.texCoords.clear();
        out.textureSlots.clear();
    }
    return out;
}

namespace {

// Takes out every face that post-processing could not survive or that names
// a vertex its mesh does not have, and returns how many there were. The rest
// of the file stays usable.
size_t dropBadFaces(aiScene& scene)
{
    size_t dropped = 0;
    for (unsigned m = 0; m < scene.mNumMeshes && scene.mMeshes; ++m) {
        aiMesh* mesh = scene.mMeshes[m];
        if (!mesh)
            continue;
        if (!mesh->mFaces) {
            dropped += mesh->mNumFaces;
            mesh->mNumFaces = 0;
            continue;
        }
        const auto bad = [mesh](const aiFace& face) {
            if (face.mNumIndices == 0 || !face.mIndices)
                return true;
            for (unsigned i = 0; i < face.mNumIndices; ++i)
                if (face.mIndices[i] >= mesh->mNumVertices)
                    return true;
            return false;
        };
        unsigned kept = 0;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            kept += bad(mesh->mFaces[f]) ? 0 : 1;
        if (kept == mesh->mNumFaces)
            continue;
        // The mesh frees its face array with delete[] and each face its
        // corners, so the good faces' corners move into a new array.
        aiFace* faces = kept ? new aiFace[kept] : nullptr;
        unsigned next = 0;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            aiFace& face = mesh->mFaces[f];
            if (bad(face))
                continue;
            std::swap(faces[next].mNumIndices, face.mNumIndices);
            std::swap(faces[next].mIndices, face.mIndices);
            ++next;
        }
        dropped += mesh->mNumFaces - kept;
        delete[] mesh->mFaces;
        mesh->mFaces = faces;
        mesh->mNumFaces = kept;
    }
    return dropped;
}

} // namespace

ImportResult readModel(const std::string& path, const ImportOptions& options)
{
    ImportResult result;
    Assimp::Importer importer;
    unsigned flags = aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_RemoveRedundantMaterials |
                     aiProcess_SortByPType;
    if (options.withNormals)
        flags |= aiProcess_GenNormals;
    // Read first, post-process second: the importer's own steps trust the
    // faces, and a face without corners aborted its triangulation.
    const aiScene* scene = importer.ReadFile(path, 0);
    if (scene) {
        // The importer owns the scene and lets its own steps edit it in place.
        result.droppedFaces = dropBadFaces(const_cast<aiScene&>(*scene));
        scene = importer.ApplyPostProcessing(flags);
    }
    if (!scene) {
        result.error = importer.GetErrorString();
        return result;
    }
    result.model = bakeScene(*scene, options, path);
    result.ok = true;
    return result;
}

void importModel(const std::string& path, Mesh& mesh, const ImportOptions& options, std::vector<ModelPart>* parts)
{
    // The importer would open a FIFO and wait for a writer until the time
    // limit; a folder gives it nothing to say but that it cannot read it.
    const std::string kind = nonRegularFileKind(path);
    if (std::optional<ImportResult> ahead = kind.empty() ? takeImportAhead(path, options) : std::nullopt) {
        applyImportResult(path, *ahead, mesh, options, parts);
        return;
    }
    const ImportResult result =
        kind.empty() ? runImportIsolated([&] { return readModel(path, options); }, importTimeoutSeconds())
                     : ImportResult{false, path + " is " + kind + ", not a model file", {}, 0};
    applyImportResult(path, result, mesh, options, parts);
}

void applyImportResult(const std::string& path, const ImportResult& result, Mesh& mesh, const ImportOptions& options,
                       std::vector<ModelPart>* parts)
{
    if (!result.ok) {
        std::cout << "Error while loading Collada file: " << '\n' << result.error << std::endl;
        return;
    }
    const BakedModel& model = result.model;
    if (result.droppedFaces + model.brokenTriangles > 0)
        std::cout << "WARNING: skipped " << result.droppedFaces + model.brokenTriangles
                  << " faces with missing or non-finite vertices in " << path << std::endl;
    // The streams that were asked for are present even when empty, so the
    // Mesh's layout depends on the options alone.
    static const float noValues[3] = {0, 0, 0};
    MeshData data;
    data.vertexCount = model.vertexCount;
    data.positions = model.positions.empty() ? noValues : model.positions.data();
    if (options.withNormals)
        data.normals = model.normals.empty() ? noValues : model.normals.data();
    if (options.withColors)
        data.colors = model.colors.empty() ? noValues : model.colors.data();
    data.indexCount = static_cast<int32_t>(model.indices.size());
    data.indices = model.indices.data();
    data.primitiveMode = GL_TRIANGLES;
    data.adjacency = false;

    if (!model.textureSlots.empty()) {
        data.texCoords = model.texCoords.data();
        data.textureSlots = model.textureSlots.data();
    }
    for (const std::string& warning : model.warnings)
        std::cout << warning << std::endl;

    std::cout << "Loaded model from " << path << std::endl;
    mesh.upload(data);
    if (!model.textureSlots.empty())
        mesh.baseColorMap = std::make_shared<TextureArray>(model.images);
    if (parts)
        *parts = model.parts;
}
