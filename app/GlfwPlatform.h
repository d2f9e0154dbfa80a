#pragma once
#include "app/Platform.h"

#include <bitset>

// The real window: GLFW 3 standing in for the frame loop's window calls.
class GlfwPlatform : public Platform {
public:
    GlfwPlatform() = default;
    ~GlfwPlatform() override { uninstallPlatform(this); }
    GlfwPlatform(const GlfwPlatform&) = delete;
    GlfwPlatform& operator=(const GlfwPlatform&) = delete;

    bool openWindow(int width, int height, int glMajor, int glMinor, bool fullscreen) override;
    void setWindowTitle(const std::string& title) override;
    void terminate() override;
    double getTime() override;
    void setTime(double seconds) override;
    void swapBuffers() override;
    bool keyDown(int key) override;
    bool keyWentDown(int key) override;
    bool mouseButtonDown(int button) override;
    void mousePos(int& x, int& y) override;
    void windowSize(int& width, int& height) override;
    void framebufferSize(int& width, int& height) override;
    int mouseWheel() override;
    void setMouseWheel(int position) override;
    bool windowOpen() override;
    void setKeyCallback(KeyCallback callback) override;
    void setCharCallback(CharCallback callback) override;
    void setDropCallback(DropCallback callback) override { dropCallback = std::move(callback); }
    bool contextAlive() const override { return window != nullptr; }

private:
    static void onKey(GLFWwindow*, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow*, unsigned int codepoint);
    static void onScroll(GLFWwindow*, double dx, double dy);
    static void onDrop(GLFWwindow*, int count, const char** paths);

    GLFWwindow* window = nullptr;
    // Keys pressed in the events of the last poll; keys down at any moment
    // since that poll began (a shift released in the same poll as the click
    // it modified still counts); keys down as the events have told so far.
    std::bitset<GLFW_KEY_LAST + 1> pressedSincePoll;
    std::bitset<GLFW_KEY_LAST + 1> downSincePoll;
    std::bitset<GLFW_KEY_LAST + 1> down;
    double wheel = 0.0;
    KeyCallback keyCallback;
    CharCallback charCallback;
    DropCallback dropCallback;
};
