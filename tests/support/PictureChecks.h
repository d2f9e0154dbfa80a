#pragma once
// Small checks shared by the picture tests.
#include "support/AppHarness.h"

#include <cstdlib>
#include <functional>
#include <string>

inline bool sameColor(const Rgba& a, const Rgba& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

inline int luma(const Rgba& p)
{
    return (p.r * 299 + p.g * 587 + p.b * 114) / 1000;
}

// With TORV_PICTURE_DIR set, the frame is also kept there as NAME.png.
inline void keepPicture(AppHarness& h, const std::string& name)
{
    if (const char* dir = std::getenv("TORV_PICTURE_DIR"))
        h.savePng(std::string(dir) + "/" + name + ".png");
}

// Counts the pixels of a shot that satisfy a test.
inline int countPixels(const Shot& s, const std::function<bool(int, int)>& test)
{
    int n = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (test(x, y))
                ++n;
    return n;
}
