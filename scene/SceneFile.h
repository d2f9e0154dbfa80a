#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// One placed model as a scene file describes it. Rotation is in radians,
// angles in degrees; localAngle < 0 means "follow the scene's angle".
struct ScenePlacement {
    std::string file;
    float tx = 0, ty = 0, tz = 0;
    float rx = 0, ry = 0, rz = 0;
    float scale = 1;
    bool canCut = true, canBeCut = true;
    float localAngle = -1;
    std::string part; // empty: the whole model; else one part of it
    bool hidden = false; // placed, but neither drawn nor picked
};

struct SceneFileContents {
    float globalAngle = 30.0f;
    std::vector<ScenePlacement> placements;
};

// Reads a scene file's text. Never fails: unknown keywords, short lines and
// unreadable numbers are skipped. A trailing carriage return on each line is
// dropped, so files saved with CR LF line ends read the same.
SceneFileContents parseSceneText(std::istream& in);

// Reads a whole scene file into text. False, with text untouched, when the
// path is not a regular file (a FIFO, a device, a folder), cannot be read,
// or cannot be a scene file: a line longer than maxSceneLineLength or a NUL
// byte anywhere.
constexpr size_t maxSceneLineLength = size_t(1) << 20;
bool readSceneFile(const std::string& path, std::string& text);

// Writes the text of a scene file, numbers with six significant digits.
void writeSceneText(std::ostream& out, float globalAngle, const std::vector<ScenePlacement>& placements);

// Replaces the file at path with text, or leaves it untouched and returns
// false: the text goes to a temporary file in the same directory, is flushed
// to disk and then renamed over the target.
bool saveSceneFileAtomically(const std::string& path, const std::string& text);
