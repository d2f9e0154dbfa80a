#pragma once
#include "geometry/ModelImport.h"
#include "scene/SceneView.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ImportBatch;
class Mesh;
class Scene;
struct ImportResult;
class SceneNode;
struct ScenePlacement;

// Brings models into the scene: imports each model file once (the cache is
// keyed by the lower-cased name and never evicted) and places instances.
// Also reads and writes scene files under "scenes/".
class SceneLoader {
public:
    explicit SceneLoader(Scene* scene);
    ~SceneLoader();
    SceneLoader(const SceneLoader&) = delete;
    SceneLoader& operator=(const SceneLoader&) = delete;

    // A name is looked up under modelDirectory; an absolute path (as a model
    // opened from elsewhere is saved) is read as it stands and cached under
    // its exact spelling, since file names elsewhere are case-sensitive.
    Mesh* loadModel(const std::string& name);
    SceneNode* createInstance(Mesh* mesh);

    // False when the file could not be written (or is one of the program's
    // own data files); the old file is then intact.
    bool saveScene(const std::string& name);
    // The scene's blocks as saveScene writes them; withView adds the view
    // lines (camera, selection, switches) that a save also writes.
    std::string sceneText(bool withView = false) const;
    // The text of the last scene file written or read (the application also
    // sets it once the scene it opens with is in place), so a change since
    // then can be told.
    std::string savedText;
    // False when the file could not be opened or read; the scene is then
    // unchanged.
    bool loadScene(const std::string& name);
    // The same for a scene file at any path. A save also writes the view
    // (scene/SceneView.h); a load restores its switches and selection and
    // keeps the rest in lastView for the caller, who owns the camera.
    bool loadSceneFile(const std::string& path);
    SceneView lastView;

    // A model file's parts: each node of the file with triangles becomes a
    // Mesh of its own, cut from the whole model's Mesh, so the file is
    // imported once and every part sits where it sits in the whole model.
    // None when the file (or its import) has no such part.
    Mesh* loadPart(const std::string& name, const std::string& partId);
    // Places every part of the model as an object at the origin, in the
    // file's order; returns how many were placed.
    int placeParts(const std::string& name);

    Scene* scene;
    std::unordered_map<std::string, std::unique_ptr<Mesh>> modelsByName;
    // The name each model was first loaded under, as given (it opens the file).
    std::unordered_map<const Mesh*, std::string> namesByModel;
    // The part table of every imported whole model, and the part meshes made
    // from them (keyed by model key, a line feed and the part id) with the
    // part id each one was made for.
    std::unordered_map<const Mesh*, std::vector<ModelPart>> partsByModel;
    std::unordered_map<std::string, std::unique_ptr<Mesh>> partMeshes;
    std::unordered_map<const Mesh*, std::string> partIdsByMesh;
    // Folders the names are resolved in, relative to the working directory;
    // a name missing there is looked up in the data folder (base/DataPaths.h).
    std::string modelDirectory = "models/";
    std::string sceneDirectory = "scenes/";

    // The name a typed model name is loaded under: as typed when models/NAME
    // exists (or is already loaded), else, when NAME names a file relative to
    // the working folder, that file's name as an opened file gets it (its
    // absolute path, so a saved scene finds it from anywhere).
    std::string resolveModelName(const std::string& typed) const;

    // Loading without waiting (app/LoadQueue.h): the import runs elsewhere and
    // its result is taken into the cache here, as loadModel would have.
    bool isModelCached(const std::string& name) const { return modelsByName.count(cacheKey(name)) != 0; }
    // The file loadModel would read for a name.
    std::string modelFile(const std::string& name) const;
    Mesh* adoptModel(const std::string& name, const std::string& file, const ImportResult& result);
    // The models a scene file names that are not cached yet, each as the
    // name the file gives and the file a load of the scene would read.
    std::vector<std::pair<std::string, std::string>> uncachedModels(const std::string& scenePath);

    // Where a model name or a scene name is read from, and the folder saves go to.
    std::string modelPath(const std::string& name) const;
    std::string scenePath(const std::string& name) const;
    std::string saveFolder() const;

    // The cache key of a model name: lower-cased, except an absolute path.
    static std::string cacheKey(const std::string& name);

private:
    // The models of a scene file not cached yet, once each, as their names
    // and the files a load reads (with sceneModelFolders set).
    std::vector<std::pair<std::string, std::string>> uncachedIn(const std::vector<ScenePlacement>& placements) const;
    // While a scene file loads, the imports of its models running side by
    // side; loadModel takes a file's result from here.
    ImportBatch* sceneImports = nullptr;
    // While a scene file loads: its own folder and models/ beside it, tried
    // after modelDirectory and before the data folder.
    std::vector<std::string> sceneModelFolders;
};
