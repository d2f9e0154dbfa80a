#include "app/FileOpening.h"

#include "geometry/FileProbe.h"
#include "geometry/ImportProcess.h"
#include "geometry/Mesh.h"
#include "scene/ModelNames.h"
#include "scene/SceneLoader.h"

#include <assimp/Importer.hpp>

#include <cctype>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

FileKind classifyFile(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext.empty())
        return FileKind::Unknown;
    if (ext == ".sce")
        return FileKind::Scene;
    Assimp::Importer importer;
    return importer.IsExtensionSupported(ext) ? FileKind::Model : FileKind::Unknown;
}

std::string modelNameForPath(const std::string& path, const std::string& modelDirectory)
{
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(fs::absolute(path, ec), ec);
    const fs::path folder = fs::weakly_canonical(fs::absolute(modelDirectory, ec), ec);
    const fs::path inside = file.lexically_relative(folder);
    if (!inside.empty() && *inside.begin() != ".." && inside.is_relative())
        return inside.generic_string();
    return file.generic_string();
}

std::string displayName(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    return name.empty() ? path : name;
}

void placeLoadedModel(SceneLoader& loader, const std::string& name, bool whole, OpenOutcome& outcome)
{
    Mesh* mesh = loader.loadModel(name);
    if (!mesh || !mesh->uploaded) {
        outcome.failures.push_back("cannot import " + name);
        return;
    }
    const size_t parts = loader.partsByModel[mesh].size();
    if (!whole && parts > 1) {
        const int placed = loader.placeParts(name);
        if (placed > 0) {
            outcome.modelsPlaced += placed;
            outcome.done.push_back("placed " + std::to_string(placed) + " parts of " + displayName(name));
            return;
        }
    }
    loader.createInstance(mesh);
    ++outcome.modelsPlaced;
    outcome.done.push_back("placed " + displayName(name));
}

std::string cannotOpenReason(const std::string& path, const std::string& modelDirectory)
{
    const std::string shown = nameForMessage(path);
    // Probed without opening: a FIFO would wait for a writer.
    const std::string special = nonRegularFileKind(path);
    if (!special.empty())
        return "cannot read " + shown + ": it is " + special;
    if (::access(path.c_str(), R_OK) != 0)
        return "cannot read " + shown;
    const FileKind kind = classifyFile(path);
    if (kind == FileKind::Unknown)
        return shown + ": not a scene or model file";
    if (kind == FileKind::Model) {
        const std::string why = unplaceableNameReason(modelNameForPath(path, modelDirectory));
        if (!why.empty())
            return "cannot open " + shown + ": " + why;
    }
    return std::string();
}

OpenOutcome openFiles(SceneLoader& loader, const std::vector<std::string>& paths, bool whole)
{
    OpenOutcome outcome;
    // Many files that each hang the importer cost one time limit.
    ImportTimeBudget budget;
    for (const std::string& path : paths) {
        const std::string shown = nameForMessage(path);
        const std::string reason = cannotOpenReason(path, loader.modelDirectory);
        if (!reason.empty()) {
            outcome.failures.push_back(reason);
        } else if (classifyFile(path) == FileKind::Scene) {
            if (loader.loadSceneFile(path)) {
                ++outcome.scenesLoaded;
                outcome.done.push_back("loaded " + displayName(shown));
            } else {
                outcome.failures.push_back("cannot read " + shown);
            }
        } else {
            const size_t failed = outcome.failures.size();
            placeLoadedModel(loader, modelNameForPath(path, loader.modelDirectory), whole, outcome);
            if (outcome.failures.size() > failed)
                outcome.failures.back() = "cannot import " + shown;
        }
    }
    return outcome;
}
