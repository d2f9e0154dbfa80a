#pragma once
#include "geometry/ModelImport.h"

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
// to standard output.
ImportResult runImportIsolated(const std::function<ImportResult()>& work, double timeoutSeconds,
                               double memoryLimitMB = importMemoryLimitMB());

// For imports that fork a child of their own (geometry/ImportJob.h): the
// memory limit runImportIsolated sets in its child, and whether a child's
// exit status says it went past that limit.
void limitImportChildMemory(double memoryLimitMB);
bool importChildRanOutOfMemory(int waitStatus);

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
