#include "geometry/ImportBatch.h"

#include "geometry/ImportJob.h"

#include <algorithm>

ImportBatch::ImportBatch(double timeoutSeconds, double memoryLimitMB, int w)
    : timeout(timeoutSeconds), memoryLimit(memoryLimitMB), width(size_t(std::max(1, w)))
{
}

ImportBatch::~ImportBatch() = default;

void ImportBatch::add(const std::string& key, const std::function<ImportResult()>& work)
{
    auto known = index.find(key);
    if (known != index.end()) {
        ++entries[known->second].takesLeft;
        return;
    }
    index.emplace(key, entries.size());
    entries.emplace_back();
    entries.back().work = work;
    pump();
}

bool ImportBatch::has(const std::string& key) const
{
    auto it = index.find(key);
    return it != index.end() && entries[it->second].takesLeft > 0;
}

void ImportBatch::pump()
{
    for (Entry& e : entries)
        if (e.job && e.job->poll()) {
            e.result = e.job->takeResult();
            e.job.reset();
            e.over = true;
            --running;
        }
    while (running < width && nextToStart < entries.size()) {
        Entry& e = entries[nextToStart++];
        // Each import's limit runs from its own start, as one after another.
        const ImportDeadline deadline = importDeadlineFromNow(timeout);
        if (deadline.refused) {
            e.result.error = deadline.error;
            e.over = true;
            continue;
        }
        e.job = std::make_unique<ImportJob>(e.work, deadline, memoryLimit);
        ++running;
    }
}

ImportResult ImportBatch::take(const std::string& key)
{
    Entry& e = entries[index.at(key)];
    for (;;) {
        pump();
        if (e.over)
            break;
        std::vector<ImportJob*> jobs;
        for (Entry& other : entries)
            if (other.job)
                jobs.push_back(other.job.get());
        waitForImportJobs(jobs);
    }
    if (--e.takesLeft > 0)
        return e.result;
    e.work = nullptr;
    return std::move(e.result);
}
