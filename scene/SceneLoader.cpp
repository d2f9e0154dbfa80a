#include "scene/SceneLoader.h"

#include "base/DataPaths.h"
#include "geometry/FileProbe.h"
#include "geometry/ImportBatch.h"
#include "geometry/ImportProcess.h"
#include "geometry/Mesh.h"
#include "geometry/ModelImport.h"
#include "scene/MeshInstance.h"
#include "scene/PlacedInstances.h"
#include "scene/RecoveryFile.h"
#include "scene/Scene.h"
#include "scene/SceneFile.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace {

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

SceneLoader::SceneLoader(Scene* s) : scene(s) {}
SceneLoader::~SceneLoader() = default;

std::string SceneLoader::modelPath(const std::string& name) const
{
    const std::string local = modelDirectory + name;
    if (isRegularFile(local))
        return local;
    for (const std::string& folder : sceneModelFolders)
        if (isRegularFile(folder + name))
            return folder + name;
    return findDataFile(local);
}

std::string SceneLoader::scenePath(const std::string& name) const
{
    if (!name.empty() && name[0] == '/')
        return name; // an absolute path, as models take one
    const std::string inFolder = sceneDirectory + name;
    if (!sceneDirectory.empty() && sceneDirectory[0] != '/' && !isFolder(sceneDirectory) && isRegularFile(name))
        return name; // saved into the working folder, which has no scenes/
    return findDataFile(inFolder);
}

std::string SceneLoader::saveFolder() const
{
    // Saves go to the working folder: its scenes/ when it has one, else the
    // folder itself. Never the program's data folder, which an installed copy
    // may not write and whose shipped scenes a save must not replace.
    if (sceneDirectory.empty() || sceneDirectory[0] == '/' || isFolder(sceneDirectory))
        return sceneDirectory;
    return std::string();
}

std::string SceneLoader::cacheKey(const std::string& name)
{
    std::string key = name;
    if (name.empty() || name[0] != '/')
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

Mesh* SceneLoader::loadModel(const std::string& name)
{
    const bool absolute = !name.empty() && name[0] == '/';
    const std::string key = cacheKey(name);
    auto it = modelsByName.find(key);
    if (it != modelsByName.end())
        return it->second.get();
    auto mesh = std::make_unique<Mesh>();
    ImportOptions options; // normals, colours, centred on all three axes
    Mesh* raw = mesh.get();
    const std::string file = absolute ? name : modelPath(name);
    if (sceneImports && sceneImports->has(file))
        applyImportResult(file, sceneImports->take(file), *mesh, options, &partsByModel[raw]);
    else
        importModel(file, *mesh, options, &partsByModel[raw]);
    // Points and lines import, but no pass draws them: say so once, or the
    // model would seem placed and the picture stay empty.
    if (mesh->uploaded && !hasTriangles(*mesh))
        std::cout << "WARNING: model " << name << " has no triangles; nothing of it is drawn" << std::endl;
    // Saved as given: the name that opened the file, whatever the cache key.
    namesByModel[raw] = name;
    modelsByName[key] = std::move(mesh);
    return raw;
}

SceneNode* SceneLoader::createInstance(Mesh* mesh)
{
    auto* node = new SceneNode(scene);
    node->setTransform(std::make_unique<SRTTransform>());
    node->setParent(scene->root.get());
    node->attach(new MeshInstance(mesh));
    return node;
}

std::string SceneLoader::sceneText(bool withView) const
{
    std::vector<ScenePlacement> placements;
    std::vector<const Renderable*> written; // the blocks a load places again
    for (SceneNode* node : scene->root->children) {
        if (node->attachments.empty())
            continue;
        auto* instance = dynamic_cast<MeshInstance*>(node->attachments.front());
        if (!instance)
            continue;
        ScenePlacement p;
        auto named = namesByModel.find(instance->mesh);
        p.file = named != namesByModel.end() ? named->second : std::string();
        auto part = partIdsByMesh.find(instance->mesh);
        if (part != partIdsByMesh.end())
            p.part = part->second;
        if (const SRTTransform* srt = node->srt()) {
            p.tx = srt->translation.x;
            p.ty = srt->translation.y;
            p.tz = srt->translation.z;
            p.rx = srt->rotation[0];
            p.ry = srt->rotation[1];
            p.rz = srt->rotation[2];
            p.scale = srt->scale;
        }
        p.canCut = instance->canCut;
        p.canBeCut = instance->canBeCut;
        p.localAngle = instance->localAngle;
        p.hidden = scene->isHidden(instance);
        placements.push_back(p);
        if (!p.file.empty())
            written.push_back(instance);
    }
    std::ostringstream text;
    writeSceneText(text, scene->globalAngle, placements);
    if (withView)
        writeSceneView(text, captureSceneView(*scene, written));
    return text.str();
}

bool SceneLoader::saveScene(const std::string& name)
{
    const bool absolute = !name.empty() && name[0] == '/';
    const std::string path = absolute ? name : saveFolder() + name;
    if (isProgramDataFile(path))
        return false;
    if (!saveSceneFileAtomically(path, sceneText(true)))
        return false;
    savedText = sceneText();
    return true;
}

bool SceneLoader::loadScene(const std::string& name)
{
    return loadSceneFile(scenePath(name));
}

bool SceneLoader::loadSceneFile(const std::string& path)
{
    // Everything is read and checked before the scene is touched.
    std::string text;
    if (!readSceneFile(path, text))
        return false;
    std::istringstream in(text);
    SceneFileContents contents = parseSceneText(in);
    std::istringstream viewText(text);
    lastView = parseSceneView(viewText);
    std::vector<MeshInstance*> placed;
    scene->clearSelection();
    scene->root->clearChildren();
    scene->globalAngle = contents.globalAngle;
    // Models the working folder lacks may sit beside the scene file.
    const std::string folder = folderOf(path);
    sceneModelFolders = {folder, folder + "../models/"};
    // Many models that each hang the importer cost one time limit. They are
    // imported side by side and taken in the file's order, so what is placed
    // and printed is what one import after another gives.
    ImportTimeBudget budget;
    ImportBatch imports(importTimeoutSeconds());
    for (const auto& [name, file] : uncachedIn(contents.placements))
        if (nonRegularFileKind(file).empty()) // refused without a child
            imports.add(file, [file = file] { return readModel(file, ImportOptions()); });
    sceneImports = &imports;
    for (const ScenePlacement& p : contents.placements) {
        Mesh* mesh = p.part.empty() ? loadModel(p.file) : loadPart(p.file, p.part);
        if (!mesh) {
            std::cout << "WARNING: model " << p.file << " has no part " << p.part << "; skipped" << std::endl;
            placed.push_back(nullptr);
            continue;
        }
        SceneNode* node = createInstance(mesh);
        placed.push_back(dynamic_cast<MeshInstance*>(node->attachments.front()));
        if (SRTTransform* srt = node->srt()) {
            srt->translation = Vec3(p.tx, p.ty, p.tz);
            srt->rotation[0] = p.rx;
            srt->rotation[1] = p.ry;
            srt->rotation[2] = p.rz;
            srt->scale = p.scale;
        }
        if (!node->attachments.empty()) {
            if (auto* r = dynamic_cast<Renderable*>(node->attachments.front())) {
                r->canBeCut = p.canBeCut;
                r->canCut = p.canCut;
                if (p.localAngle >= 0.0f)
                    r->setLocalAngle(p.localAngle);
                if (p.hidden)
                    scene->hide(r);
            }
        }
    }
    sceneImports = nullptr;
    sceneModelFolders.clear();
    applySceneView(*scene, lastView, placed);
    savedText = sceneText();
    return true;
}
