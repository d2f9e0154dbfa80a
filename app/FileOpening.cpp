#include "app/FileOpening.h"

#include "geometry/Mesh.h"
#include "scene/SceneLoader.h"

#include <assimp/Importer.hpp>

#include <cctype>
#include <filesystem>
#include <fstream>

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
    for (const std::string& path : paths) {
        std::error_code ec;
        const bool readable = !fs::is_directory(path, ec) && std::ifstream(path).good();
        const FileKind kind = classifyFile(path);
        if (!readable) {
            outcome.failures.push_back("cannot read " + path);
        } else if (kind == FileKind::Unknown) {
            outcome.failures.push_back(path + ": not a scene or model file");
        } else if (kind == FileKind::Scene) {
            if (loader.loadSceneFile(path))
                ++outcome.scenesLoaded;
            else
                outcome.failures.push_back("cannot read " + path);
        } else {
            Mesh* mesh = loader.loadModel(modelNameForPath(path, loader.modelDirectory));
            if (mesh && mesh->uploaded) {
                loader.createInstance(mesh);
                ++outcome.modelsPlaced;
            } else {
                outcome.failures.push_back("cannot import " + path);
            }
        }
    }
    return outcome;
}
