#pragma once
#include "geometry/ModelImport.h"

#include <chrono>
#include <functional>
#include <string>

// What reading one model file gave: the baked streams, or why there are none.
struct ImportResult {
    bool ok = false;
    std::string error;     // the importer's message when !ok
    BakedModel model;
    size_t droppedFaces = 0; // faces naming a vertex their mesh does not have
};

// The time limit of one import in seconds: TORV_IMPORT_TIMEOUT when it holds
// a positive number, else 60. From importUnlimitedSeconds up (decades), and
// for "inf", there is no limit.
double importTimeoutSeconds();
constexpr double importUnlimitedSeconds = 1e9;

// The memory one import may take beyond what the program already holds, in
// MB: TORV_IMPORT_MEMORY_MB when it holds a positive number, else a quarter
// of the machine's physical memory.
double importMemoryLimitMB();

// Runs `work` in a forked child process and hands back what it returned. An
// importer that hangs, crashes or aborts on a hostile file takes only the
// child with it: after `timeoutSeconds` the child is killed, and either way
// the result is a failure whose error says what happened. The child may take
// `memoryLimitMB` more memory than it started with (infinity: no limit);
// past that its allocations fail and it is stopped. The child never writes
// to standard output. (The child itself is an ImportJob, geometry/ImportJob.h.)
ImportResult runImportIsolated(const std::function<ImportResult()>& work, double timeoutSeconds,
                               double memoryLimitMB = importMemoryLimitMB());

// For the children (geometry/ImportJob.h): the memory limit set in a child
// before it imports, and whether a child's exit status says it went past it.
void limitImportChildMemory(double memoryLimitMB);
bool importChildRanOutOfMemory(int waitStatus);

// How many imports of one load run side by side: TORV_IMPORT_CHILDREN when
// it holds a positive whole number (at most 64), else the number of CPU
// cores, at most 4.
int importChildCount();

// When an import that starts now, with a limit of `timeoutSeconds`, is
// stopped: its own limit or what is left of the load's (ImportTimeBudget),
// whichever comes first.
struct ImportDeadline {
    bool refused = false; // the load's time is spent: not started; error says so
    bool limited = false; // else it runs until it ends
    std::chrono::steady_clock::time_point at;
    std::string error; // the failure when refused or stopped at `at`
};
ImportDeadline importDeadlineFromNow(double timeoutSeconds);

// While one lives, the imports made share the time limit of one import: a
// load that names many models that each hang costs one limit, not one per
// model, and the imports left when it is spent fail at once. Nested budgets
// keep the outermost.
class ImportTimeBudget {
public:
    ImportTimeBudget();
    ~ImportTimeBudget();
    ImportTimeBudget(const ImportTimeBudget&) = delete;
    ImportTimeBudget& operator=(const ImportTimeBudget&) = delete;
};

// The wire format between the child and the parent. decode returns false on
// a message that is cut short or inconsistent (then `out` is unspecified).
std::string encodeImportResult(const ImportResult& result);
bool decodeImportResult(const std::string& bytes, ImportResult& out);
