#pragma once
#include "geometry/ImportProcess.h"
#include "geometry/ModelImport.h"

#include <optional>
#include <string>

// Imports started before the program asks for them, so that reading a model
// overlaps what it does meanwhile (loading the GL driver, building programs).
// The later import of the same file with the same options takes the running
// child's result instead of starting another; it fails or is stopped by its
// time limit exactly as that import would have been. Best started before any
// thread exists, so the child is forked from a one-thread process.
void startImportAhead(const std::string& path, const ImportOptions& options);
// The result of the import of `path` with `options` started ahead, waited
// for; nothing when none was started. Each one is handed out once.
std::optional<ImportResult> takeImportAhead(const std::string& path, const ImportOptions& options);
