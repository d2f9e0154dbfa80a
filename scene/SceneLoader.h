#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Mesh;
class Scene;
class SceneNode;

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

    // False when the file could not be written; the old file is then intact.
    bool saveScene(const std::string& name);
    // False when the file could not be opened or read; the scene is then
    // unchanged.
    bool loadScene(const std::string& name);
    // The same for a scene file at any path.
    bool loadSceneFile(const std::string& path);

    Scene* scene;
    std::unordered_map<std::string, std::unique_ptr<Mesh>> modelsByName;
    // The name each model was first loaded under, as given (it opens the file).
    std::unordered_map<const Mesh*, std::string> namesByModel;
    // Folders the names are resolved in, relative to the working directory;
    // a name missing there is looked up in the data folder (app/DataPaths.h).
    std::string modelDirectory = "models/";
    std::string sceneDirectory = "scenes/";

    // Where a model name or a scene name is read from, and the folder saves go to.
    std::string modelPath(const std::string& name) const;
    std::string scenePath(const std::string& name) const;
    std::string saveFolder() const;

private:
    // While a scene file loads: its own folder and models/ beside it, tried
    // after modelDirectory and before the data folder.
    std::vector<std::string> sceneModelFolders;
};
