#pragma once
#include <string>

// Replaces the file at path with bytes, or leaves it as it was: the bytes go
// to a temporary file in the same folder, which is written, flushed to disk,
// checked and then renamed over the target; on any failure the temporary
// file is removed. A replaced file keeps its mode, owner and group; a
// symbolic link is followed and stays a link. A write past the file-size
// limit fails (SIGXFSZ is ignored meanwhile) instead of ending the program.
// On failure `reason` says why in a few words ("No space left on device").
bool replaceFileContents(const std::string& path, const std::string& bytes, std::string& reason);
