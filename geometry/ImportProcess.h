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

// Runs `work` in a forked child process and hands back what it returned. An
// importer that hangs, crashes or aborts on a hostile file takes only the
// child with it: after `timeoutSeconds` the child is killed, and either way
// the result is a failure whose error says what happened. The child never
// writes to standard output.
ImportResult runImportIsolated(const std::function<ImportResult()>& work, double timeoutSeconds);

// The time limit of one import in seconds: TORV_IMPORT_TIMEOUT when it holds
// a positive number, else 60.
double importTimeoutSeconds();

// The wire format between the child and the parent. decode returns false on
// a message that is cut short or inconsistent (then `out` is unspecified).
std::string encodeImportResult(const ImportResult& result);
bool decodeImportResult(const std::string& bytes, ImportResult& out);
