#include "support/GLTestSupport.h"

#include <epoxy/gl.h>

void GLTest::SetUp()
{
    headless = std::make_unique<HeadlessPlatform>();
    setPlatform(headless.get());
    ASSERT_TRUE(headless->openWindow(800, 800, 3, 3, false)) << "no headless GL context";
}

void GLTest::TearDown()
{
    headless->terminate();
    setPlatform(nullptr);
    headless.reset();
}

Rgba readPixel(int x, int y)
{
    Rgba p{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}
