#include "scene/RecoveryFile.h"

#include "base/DataPaths.h"
#include "scene/SceneFile.h"
#include "scene/SceneLoader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

std::string canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

// mkdir -p, owner-only for the folders it makes (the state folder is private).
bool makeFolders(const std::string& folder)
{
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool isProgramDataFile(const std::string& path)
{
    const std::string& root = dataRoot();
    if (root.empty())
        return false;
    const std::string file = canonical(path);
    const std::string folder = canonical(root);
    return !file.empty() && !folder.empty() && file.compare(0, folder.size() + 1, folder + "/") == 0;
}

std::string recoveryFilePath()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/torv/recovery.sce";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/torv/recovery.sce";
    return std::string();
}

std::string writeRecoveryIfUnsaved(const SceneLoader& loader, std::string& reason)
{
    reason.clear();
    // Changes are the blocks' (models, flags, angles): turning the camera
    // alone is no unsaved work. What is written keeps the view too.
    if (loader.sceneText() == loader.savedText)
        return std::string();
    const std::string text = loader.sceneText(true);
    const std::string path = recoveryFilePath();
    if (path.empty()) {
        reason = "no state folder: neither XDG_STATE_HOME nor HOME is set";
        return std::string();
    }
    if (!makeFolders(path.substr(0, path.rfind('/'))) || !saveSceneFileAtomically(path, text)) {
        reason = "cannot write " + path;
        return std::string();
    }
    return path;
}
