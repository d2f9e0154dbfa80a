#include "base/DataPaths.h"
#include "geometry/ImportProcess.h"
#include "geometry/Mesh.h"
#include "scene/SceneFile.h"
#include "scene/SceneLoader.h"

#include <set>
#include <sstream>

std::string SceneLoader::modelFile(const std::string& name) const
{
    return !name.empty() && name[0] == '/' ? name : modelPath(name);
}

Mesh* SceneLoader::adoptModel(const std::string& name, const std::string& file, const ImportResult& result)
{
    const std::string key = cacheKey(name);
    auto it = modelsByName.find(key);
    if (it != modelsByName.end())
        return it->second.get();
    auto mesh = std::make_unique<Mesh>();
    Mesh* raw = mesh.get();
    applyImportResult(file, result, *mesh, ImportOptions(), &partsByModel[raw]);
    namesByModel[raw] = name;
    modelsByName[key] = std::move(mesh);
    return raw;
}

std::vector<std::pair<std::string, std::string>>
SceneLoader::uncachedIn(const std::vector<ScenePlacement>& placements) const
{
    std::vector<std::pair<std::string, std::string>> out;
    std::set<std::string> seen;
    for (const ScenePlacement& p : placements)
        if (!isModelCached(p.file) && seen.insert(cacheKey(p.file)).second)
            out.emplace_back(p.file, modelFile(p.file));
    return out;
}

std::vector<std::pair<std::string, std::string>> SceneLoader::uncachedModels(const std::string& scenePath)
{
    std::string text;
    if (!readSceneFile(scenePath, text))
        return {};
    std::istringstream in(text);
    const SceneFileContents contents = parseSceneText(in);
    // Found where loadSceneFile finds them: beside the scene file too.
    const std::string folder = folderOf(scenePath);
    sceneModelFolders = {folder, folder + "../models/"};
    auto out = uncachedIn(contents.placements);
    sceneModelFolders.clear();
    return out;
}
