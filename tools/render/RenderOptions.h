#pragma once
#include "math/Vec.h"
#include "scene/LineMode.h"

#include <optional>

#include <string>
#include <vector>

// What one torv-render run is asked to do.
struct RenderOptions {
    std::string scenePath;
    std::string output;
    int width = 800;
    int height = 800;
    bool haveEye = false;
    bool haveTarget = false;
    Vec3 eye{0, 20, 50};
    Vec3 target{0, 0, 0};
    bool cameraFit = false;
    // --select: 0-based positions, part ids or model names.
    std::vector<std::string> selectItems;
    bool whole = false; // a model file as one object, not as its parts
    std::optional<LineMode> lineMode; // else the scene's own
    bool haveAngle = false;
    float angle = 0;
    bool edit = false;
    bool outline = false;
    int frames = 1;
    int bench = 0;
    // PNG: rendered this many times larger and filtered down.
    int antialias = 1;
    bool transparent = false;
    // The cutaway by the full-size flood instead of the coarse one.
    bool fullFlood = false;
};

enum class ParseOutcome { Run, ShowHelp, ShowVersion, Fail };

extern const char* const renderUsage;

// Reads the command line (without the program name). On Fail, reason is the
// one-line message.
ParseOutcome parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& reason);
