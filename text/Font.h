#pragma once
// Interim declaration until the glyph atlas lands.
#include <string>
class Font {
public:
    bool loadFace(const std::string&, const std::string&) { return false; }
};
