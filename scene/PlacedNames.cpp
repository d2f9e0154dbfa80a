#include "scene/PlacedNames.h"

#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"

#include <cctype>

namespace {

std::vector<MeshInstance*> placedInstances(const Scene& scene)
{
    std::vector<MeshInstance*> out;
    for (SceneNode* node : scene.root->children)
        if (!node->attachments.empty())
            if (auto* instance = dynamic_cast<MeshInstance*>(node->attachments.front()))
                out.push_back(instance);
    return out;
}

std::string fileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool wholeNumber(const std::string& word)
{
    if (word.empty() || word.size() > 9)
        return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

std::string placedName(const SceneLoader& loader, const MeshInstance& instance)
{
    auto part = loader.partIdsByMesh.find(instance.mesh);
    if (part != loader.partIdsByMesh.end())
        return part->second;
    auto model = loader.namesByModel.find(instance.mesh);
    return model != loader.namesByModel.end() ? fileName(model->second) : std::string();
}

std::vector<MeshInstance*> findPlaced(const Scene& scene, const SceneLoader& loader, const std::string& word,
                                      std::string& reason)
{
    const std::vector<MeshInstance*> placed = placedInstances(scene);
    std::vector<MeshInstance*> found;
    if (wholeNumber(word)) {
        const size_t i = std::stoul(word);
        if (i < placed.size())
            found.push_back(placed[i]);
        else
            reason = "position " + word + " is out of range: the scene places " + std::to_string(placed.size()) +
                     " models";
        return found;
    }
    for (MeshInstance* instance : placed) {
        auto part = loader.partIdsByMesh.find(instance->mesh);
        auto model = loader.namesByModel.find(instance->mesh);
        const bool named = (part != loader.partIdsByMesh.end() && part->second == word) ||
                           (model != loader.namesByModel.end() &&
                            (model->second == word || fileName(model->second) == word));
        if (named)
            found.push_back(instance);
    }
    if (found.empty())
        reason = "no placed model or part is named " + word;
    return found;
}
