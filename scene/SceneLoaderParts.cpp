#include "geometry/Mesh.h"
#include "scene/SceneLoader.h"

#include <algorithm>

namespace {

const ModelPart* findPart(const std::vector<ModelPart>& parts, const std::string& id)
{
    auto it = std::find_if(parts.begin(), parts.end(), [&](const ModelPart& p) { return p.id == id; });
    return it == parts.end() ? nullptr : &*it;
}

// The part's slice of the whole model's streams, its indices renumbered from
// its first vertex. The streams are already baked and centred on the whole
// file's box, so the part needs no transform of its own.
void uploadSlice(const Mesh& whole, const ModelPart& part, Mesh& out)
{
    const size_t first = 3 * size_t(part.firstVertex), count = 3 * size_t(part.vertexCount);
    const auto slice = [&](const std::vector<float>& stream) {
        return stream.empty() ? std::vector<float>() : std::vector<float>(stream.begin() + first, stream.begin() + first + count);
    };
    const std::vector<float> positions = slice(whole.positions), normals = slice(whole.normals),
                             colors = slice(whole.colors);
    // The images stay the whole model's; the part takes its vertices' share.
    std::vector<float> texCoords, slots;
    if (!whole.textureSlots.empty()) {
        texCoords.assign(whole.texCoords.begin() + 2 * size_t(part.firstVertex),
                         whole.texCoords.begin() + 2 * (size_t(part.firstVertex) + size_t(part.vertexCount)));
        slots.assign(whole.textureSlots.begin() + part.firstVertex,
                     whole.textureSlots.begin() + part.firstVertex + part.vertexCount);
    }
    std::vector<uint32_t> indices(whole.indices.begin() + part.firstIndex,
                                  whole.indices.begin() + part.firstIndex + part.indexCount);
    for (uint32_t& index : indices)
        index -= uint32_t(part.firstVertex);

    MeshData data;
    data.vertexCount = part.vertexCount;
    data.positions = positions.data();
    data.normals = normals.empty() ? nullptr : normals.data();
    data.colors = colors.empty() ? nullptr : colors.data();
    data.texCoords = slots.empty() ? nullptr : texCoords.data();
    data.textureSlots = slots.empty() ? nullptr : slots.data();
    data.indexCount = static_cast<int32_t>(indices.size());
    data.indices = indices.data();
    data.primitiveMode = GL_TRIANGLES;
    out.upload(data);
    out.baseColorMap = whole.baseColorMap;
}

} // namespace

Mesh* SceneLoader::loadPart(const std::string& name, const std::string& partId)
{
    Mesh* whole = loadModel(name);
    const std::string key = cacheKey(name) + '\n' + partId;
    auto cached = partMeshes.find(key);
    if (cached != partMeshes.end())
        return cached->second.get();
    const ModelPart* part = findPart(partsByModel[whole], partId);
    // Slices are checked against the whole mesh: the table and the mesh come
    // from one import, but the mesh is what gets drawn.
    if (!part || !whole->uploaded || size_t(part->firstVertex + part->vertexCount) * 3 > whole->positions.size() ||
        size_t(part->firstIndex + part->indexCount) > whole->indices.size())
        return nullptr;
    auto mesh = std::make_unique<Mesh>();
    uploadSlice(*whole, *part, *mesh);
    Mesh* raw = mesh.get();
    namesByModel[raw] = namesByModel[whole];
    partIdsByMesh[raw] = partId;
    partMeshes[key] = std::move(mesh);
    return raw;
}

int SceneLoader::placeParts(const std::string& name)
{
    Mesh* whole = loadModel(name);
    // A copy: loadPart adds to the maps while the table is walked.
    const std::vector<ModelPart> parts = partsByModel[whole];
    int placed = 0;
    for (const ModelPart& part : parts)
        if (Mesh* mesh = loadPart(name, part.id)) {
            createInstance(mesh);
            ++placed;
        }
    return placed;
}
