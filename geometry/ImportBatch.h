#pragma once
#include "geometry/ImportProcess.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ImportJob;

// The imports of one load, side by side: each runs in a child process of its
// own (geometry/ImportJob.h), at most `width` at a time, started in the
// order they were added, while the caller takes the results in whatever
// order it places them. Each child is stopped at its own time limit or at
// the end of the load's (ImportTimeBudget), and once the load's is spent the
// imports not started fail at once, as they would one after another.
class ImportBatch {
public:
    explicit ImportBatch(double timeoutSeconds, double memoryLimitMB = importMemoryLimitMB(),
                         int width = importChildCount());
    // Children still running are stopped.
    ~ImportBatch();
    ImportBatch(const ImportBatch&) = delete;
    ImportBatch& operator=(const ImportBatch&) = delete;

    // Queues the import of `key` (a file) and starts it when a child is
    // free. A key added again is imported once and handed to each take.
    void add(const std::string& key, const std::function<ImportResult()>& work);
    bool has(const std::string& key) const;
    // Waits for the import of `key`, keeping the other children going, and
    // hands over its result.
    ImportResult take(const std::string& key);

private:
    struct Entry {
        std::function<ImportResult()> work;
        std::unique_ptr<ImportJob> job;
        bool over = false;
        int takesLeft = 1;
        ImportResult result;
    };
    // Collects the jobs that are over and starts waiting ones.
    void pump();

    double timeout;
    double memoryLimit;
    size_t width;
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> index;
    size_t nextToStart = 0;
    size_t running = 0;
};
