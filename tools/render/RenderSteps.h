#pragma once
#include "tools/render/RenderOptions.h"

#include <string>

class TorvWindow;

// The steps of one torv-render run. Each returns an empty string when it
// succeeded, else the one-line reason the run stops.

// The scene file can be read and the shaders can be found.
std::string checkInputs(const RenderOptions& options);
// The started window placed models that all imported, and --select names
// only placed ones.
std::string checkScene(TorvWindow& window, const RenderOptions& options);
// Camera, line mode, angle, edit mode and selection as asked.
void applyView(TorvWindow& window, const RenderOptions& options);
// Renders the frames asked for and writes the picture.
std::string renderPicture(TorvWindow& window, const RenderOptions& options);
// Renders options.bench more frames and prints their timings as JSON.
void printBench(TorvWindow& window, const RenderOptions& options);
