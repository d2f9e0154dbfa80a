#include "app/FileOpening.h"
#include "scene/SceneLoader.h"

#include <sys/stat.h>

namespace {

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string SceneLoader::resolveModelName(const std::string& typed) const
{
    if (typed.empty() || typed[0] == '/' || modelsByName.count(cacheKey(typed)) || isRegularFile(modelPath(typed)))
        return typed;
    if (isRegularFile(typed))
        return modelNameForPath(typed, modelDirectory);
    return typed; // fails as it always did, with the importer's reason
}
