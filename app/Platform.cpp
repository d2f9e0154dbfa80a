#include "app/Platform.h"
#include "app/GlfwPlatform.h"

#include <cmath>

namespace {
Platform* currentPlatform = nullptr;
}

Platform& platform()
{
    if (!currentPlatform) {
        static GlfwPlatform glfwPlatform;
        currentPlatform = &glfwPlatform;
    }
    return *currentPlatform;
}

void setPlatform(Platform* p)
{
    currentPlatform = p;
}

void uninstallPlatform(Platform* p)
{
    if (currentPlatform == p)
        currentPlatform = nullptr;
}

bool glContextAlive()
{
    return currentPlatform && currentPlatform->contextAlive();
}

void Platform::windowToFramebuffer(int& x, int& y)
{
    int ww = 0, wh = 0, fw = 0, fh = 0;
    windowSize(ww, wh);
    framebufferSize(fw, fh);
    // The position is somewhere inside its window pixel: map that pixel's centre.
    if (ww > 0 && fw > 0 && ww != fw)
        x = static_cast<int>(std::floor((x + 0.5) * fw / ww));
    if (wh > 0 && fh > 0 && wh != fh)
        y = static_cast<int>(std::floor((y + 0.5) * fh / wh));
}

void Platform::framebufferCursor(int& x, int& y)
{
    mousePos(x, y);
    windowToFramebuffer(x, y);
}
