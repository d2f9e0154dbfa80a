#include "geometry/ImportAhead.h"

#include "geometry/FileProbe.h"
#include "geometry/ImportBatch.h"

#include <climits>
#include <cstdlib>

namespace {

ImportBatch& started()
{
    static ImportBatch imports(importTimeoutSeconds());
    return imports;
}

// The real path (so another name for the same file matches) and the options.
std::string keyOf(const std::string& path, const ImportOptions& o)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer))
        return std::string();
    return std::string(buffer) + '\n' + std::to_string(o.withNormals) + std::to_string(o.withColors) +
           std::to_string(o.align) + std::to_string(int(o.alignX)) + std::to_string(int(o.alignY)) +
           std::to_string(int(o.alignZ));
}

} // namespace

void startImportAhead(const std::string& path, const ImportOptions& options)
{
    // What is not a regular file is refused by the import itself, unopened.
    const std::string key = keyOf(path, options);
    if (key.empty() || !nonRegularFileKind(path).empty())
        return;
    const std::string file = key.substr(0, key.find('\n'));
    started().add(key, [file, options] { return readModel(file, options); });
}

std::optional<ImportResult> takeImportAhead(const std::string& path, const ImportOptions& options)
{
    const std::string key = keyOf(path, options);
    if (key.empty() || !started().has(key))
        return std::nullopt;
    return started().take(key);
}
