#pragma once
#include <string>
#include <vector>

class SceneLoader;

// Files handed to the viewer on its command line or dropped on its window.
enum class FileKind { Scene, Model, Unknown };

// By extension: ".sce" is a scene file, whatever the importer reads a model.
FileKind classifyFile(const std::string& path);

// The name a model file is placed under: its name below the model folder when
// it lies there (as `model` would name it), else its absolute path, which is
// what a saved scene then holds and loads again.
std::string modelNameForPath(const std::string& path, const std::string& modelDirectory);

struct OpenOutcome {
    int scenesLoaded = 0;
    int modelsPlaced = 0;
    // One line per file that could not be opened, saying why.
    std::vector<std::string> failures;
    // One line per file that was opened, saying what it placed.
    std::vector<std::string> done;
};

// Places a model that is already in the loader's cache under `name`: as its
// parts when the file has more than one and `whole` is false, else as one
// object, at the origin. Adds to `outcome` the number placed and a line
// ("placed 67 parts of Engine.glb", "placed box.obj"), or the failure line
// when the import failed.
void placeLoadedModel(SceneLoader& loader, const std::string& name, bool whole, OpenOutcome& outcome);

// Opens files in order: a scene file replaces the scene, a model file is
// placed at the origin as placeLoadedModel places it. A file that cannot be
// read, is of no known kind, or does not import is skipped with a reason (the
// importer prints its own message too); the rest still open.
OpenOutcome openFiles(SceneLoader& loader, const std::vector<std::string>& paths, bool whole = false);

// Why a path cannot be opened, or empty when it can be (a readable scene or
// model file).
std::string cannotOpenReason(const std::string& path, const std::string& modelDirectory);

// The file name of a path, for messages.
std::string displayName(const std::string& path);
