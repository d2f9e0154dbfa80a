#pragma once
#include <string>

// What a path names when that is not a regular file ("a folder", "a FIFO",
// "a device", "a socket"), found with stat alone: opening a FIFO to look
// would wait for a writer. Empty for a regular file and for a path that
// names nothing (the caller's open then reports that).
std::string nonRegularFileKind(const std::string& path);
