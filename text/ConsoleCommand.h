#pragma once

#include "scene/LineMode.h"

#include <string>

enum class ConsoleAction {
    None, Model, EditOn, EditOff, SaveScene, LoadScene, CanCutOn, CanCutOff,
    CanBeCutOn, CanBeCutOff, GlobalAngle, LocalAngle, EdgeOn, EdgeOff,
    Directional, LineMode, Ghost, Parts
};

// One console line as data. `word` is the model or scene name (Model,
// Parts, SaveScene, LoadScene); `value` the number of GlobalAngle, LocalAngle and
// Ghost, as typed (the scene clamps it); `flag` the switch of Directional;
// `lineMode` for LineMode.
struct ConsoleCommand {
    ConsoleAction action = ConsoleAction::None;
    std::string word;
    float value = 0;
    bool flag = false;
    LineMode lineMode = LineMode::On;
};

// Unrecognised or malformed lines give action None, as does a number
// argument that does not start with a number.
ConsoleCommand parseConsoleCommand(const std::string& line);
