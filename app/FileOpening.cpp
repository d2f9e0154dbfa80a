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

OpenOutcome openFiles(SceneLoader& loader, const std::vector<std::string>& paths)
{
    OpenOutcome outcome;
    // Many files that each hang the importer cost one time limit.
    ImportTimeBudget budget;
    for (const std::string& path : paths) {
        const std::string shown = nameForMessage(path);
        // Probed without opening: a FIFO would wait for a writer.
        const std::string special = nonRegularFileKind(path);
        const FileKind kind = classifyFile(path);
        if (!special.empty()) {
            outcome.failures.push_back("cannot read " + shown + ": it is " + special);
        } else if (::access(path.c_str(), R_OK) != 0) {
            outcome.failures.push_back("cannot read " + shown);
        } else if (kind == FileKind::Unknown) {
            outcome.failures.push_back(shown + ": not a scene or model file");
        } else if (kind == FileKind::Scene) {
            if (loader.loadSceneFile(path))
                ++outcome.scenesLoaded;
            else
                outcome.failures.push_back("cannot read " + shown);
        } else if (const std::string name = modelNameForPath(path, loader.modelDirectory);
                   !unplaceableNameReason(name).empty()) {
            outcome.failures.push_back("cannot open " + shown + ": " + unplaceableNameReason(name));
        } else {
            Mesh* mesh = loader.loadModel(name);
            if (mesh && mesh->uploaded) {
                loader.createInstance(mesh);
                ++outcome.modelsPlaced;
            } else {
                outcome.failures.push_back("cannot import " + shown);
            }
        }
    }
    return outcome;
}
