#pragma once
#include <string>

// Run-time data (shaders/, fonts/, models/, scenes/) is read from the working
// folder when it is there, else from the data folder that belongs to the
// executable: share/torv/ beside an installed bin/ (found from the
// executable's own location, so a moved installation still works), or the
// source tree for an executable in its build tree.

// The data folder with a trailing '/', or empty when there is none.
const std::string& dataRoot();

// A relative path as it should be opened: unchanged when it exists from the
// working folder (or exists nowhere, so messages keep the familiar name),
// else the same path under the data folder. Absolute paths are unchanged.
std::string findDataFile(const std::string& path);

// The folder part of a path with its trailing '/' ("" for a bare name).
std::string folderOf(const std::string& path);

// Overrides the data folder (tests); an empty string restores the lookup.
void setDataRootForTesting(const std::string& root);
