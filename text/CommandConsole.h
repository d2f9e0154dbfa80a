#pragma once
// Interim console until the text subsystem lands: Tab closes it again.
#include "app/Platform.h"
#include <string>
struct InputState;
class SceneLoader;
class Scene;
class Font;
class CommandConsole {
public:
    CommandConsole(InputState*, SceneLoader*, Scene*, Font*) {}
    void open()
    {
        closeRequested = false;
        platform().setCharCallback(nullptr);
        platform().setKeyCallback([this](int key, int action) {
            if (action == GLFW_PRESS && key == GLFW_KEY_TAB)
                closeRequested = true;
        });
    }
    void update(double) {}
    void draw() {}
    void executeCommand(const std::string&) {}
    bool consoleOpen = false;
    bool closeRequested = true;
};
