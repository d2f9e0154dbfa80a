#pragma once
#include "app/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <memory>

// Base fixture for tests that need a GL context: installs a headless platform
// with an open 800 x 800 pbuffer window for the duration of the test.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void resetContextState();

    std::unique_ptr<HeadlessPlatform> headless;
};

// Reads one RGBA pixel of the bound read framebuffer (origin bottom-left).
struct Rgba {
    unsigned char r, g, b, a;
};
Rgba readPixel(int x, int y);
