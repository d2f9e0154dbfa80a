#pragma once
#include <string>

class SceneLoader;

// True when path names an existing file inside the program's own data folder
// (shipped shaders, models and scenes, reached by any name or link): saving
// over it would replace what the program ships.
bool isProgramDataFile(const std::string& path);

// Where a scene with unsaved changes goes when the program ends:
// $XDG_STATE_HOME/torv/recovery.sce, else ~/.local/state/torv/recovery.sce.
// Empty when neither variable gives an absolute folder.
std::string recoveryFilePath();

// Writes the loader's scene to the recovery file when it differs from its
// savedText (the scene file last written or read, or the scene as it was
// opened), creating the folders on the way. Returns the path written, empty when nothing was
// unsaved; reason is set when writing failed.
std::string writeRecoveryIfUnsaved(const SceneLoader& loader, std::string& reason);
