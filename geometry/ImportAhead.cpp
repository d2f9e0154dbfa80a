#include "geometry/ImportAhead.h"

#include "geometry/FileProbe.h"
#include "geometry/ImportJob.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Ahead {
    std::string file; // the real path: a later name for the same file matches
    ImportOptions options;
    std::unique_ptr<ImportJob> job;
};

std::vector<Ahead>& started()
{
    static std::vector<Ahead> jobs;
    return jobs;
}

std::string realPath(const std::string& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool sameOptions(const ImportOptions& a, const ImportOptions& b)
{
    return a.withNormals == b.withNormals && a.withColors == b.withColors && a.align == b.align &&
           a.alignX == b.alignX && a.alignY == b.alignY && a.alignZ == b.alignZ;
}

} // namespace

void startImportAhead(const std::string& path, const ImportOptions& options)
{
    // What is not a regular file is refused by the import itself, unopened.
    const std::string file = realPath(path);
    if (file.empty() || !nonRegularFileKind(file).empty())
        return;
    const ImportDeadline deadline = importDeadlineFromNow(importTimeoutSeconds());
    if (deadline.refused)
        return;
    auto job = std::make_unique<ImportJob>([file, options] { return readModel(file, options); }, deadline);
    started().push_back({file, options, std::move(job)});
}

std::optional<ImportResult> takeImportAhead(const std::string& path, const ImportOptions& options)
{
    std::vector<Ahead>& jobs = started();
    if (jobs.empty())
        return std::nullopt;
    const std::string file = realPath(path);
    for (auto it = jobs.begin(); it != jobs.end(); ++it) {
        if (file.empty() || it->file != file || !sameOptions(it->options, options))
            continue;
        std::unique_ptr<ImportJob> job = std::move(it->job);
        jobs.erase(it);
        while (!job->poll())
            waitForImportJobs({job.get()});
        return job->takeResult();
    }
    return std::nullopt;
}
