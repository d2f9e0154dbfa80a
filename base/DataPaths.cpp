#include "base/DataPaths.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isDataFolder(const std::string& root)
{
    struct stat st;
    return ::stat((root + "shaders").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer))
        return std::string();
    return buffer;
}

std::string executableFolder()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    buffer[n] = '\0';
    return folderOf(buffer);
}

std::string locateDataRoot()
{
    const std::string exeFolder = executableFolder();
    if (exeFolder.empty())
        return std::string();
    const std::string installed = exeFolder + "../share/torv/";
    if (isDataFolder(installed))
        return canonical(installed) + "/";
#if defined(TORV_SOURCE_DIR) && defined(TORV_BUILD_DIR)
    // Only an executable inside its own build tree reads the source tree: an
    // installed copy must find its share/torv/ or nothing.
    const std::string build = canonical(TORV_BUILD_DIR);
    const std::string exe = canonical(exeFolder);
    if (!build.empty() && exe.compare(0, build.size(), build) == 0 &&
        (exe.size() == build.size() || exe[build.size()] == '/')) {
        const std::string source = std::string(TORV_SOURCE_DIR) + "/";
        if (isDataFolder(source))
            return source;
    }
#endif
    return std::string();
}

std::string& overrideRoot()
{
    static std::string root;
    return root;
}

} // namespace

const std::string& dataRoot()
{
    if (!overrideRoot().empty())
        return overrideRoot();
    static const std::string root = locateDataRoot();
    return root;
}

std::string findDataFile(const std::string& path)
{
    if (path.empty() || path[0] == '/' || exists(path))
        return path;
    const std::string& root = dataRoot();
    if (!root.empty() && exists(root + path))
        return root + path;
    return path;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void setDataRootForTesting(const std::string& root)
{
    overrideRoot() = root.empty() || root.back() == '/' ? root : root + "/";
}
