#include "app/Platform.h"
#include "app/GlfwPlatform.h"

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
