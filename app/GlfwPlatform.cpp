#include "app/GlfwPlatform.h"

#include <cmath>
#include <iostream>

namespace {

// GLFW says why a window or context could not be made only through this
// callback: the reason goes to standard error beside the program's message.
void reportGlfwError(int code, const char* description)
{
    std::cerr << "torv: GLFW error " << code << ": " << (description ? description : "") << std::endl;
}

} // namespace

bool GlfwPlatform::openWindow(int width, int height, int glMajor, int glMinor, bool fullscreen)
{
    glfwSetErrorCallback(reportGlfwError);
    // Without a display every call below would fail again; its one reason is said.
    if (!glfwInit())
        return false;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, glMajor);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, glMinor);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    window = glfwCreateWindow(width, height, "", fullscreen ? glfwGetPrimaryMonitor() : nullptr, nullptr);
    if (!window)
        return false;
    glfwMakeContextCurrent(window);
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, &GlfwPlatform::onKey);
    glfwSetCharCallback(window, &GlfwPlatform::onChar);
    glfwSetScrollCallback(window, &GlfwPlatform::onScroll);
    glfwSetDropCallback(window, &GlfwPlatform::onDrop);
    // A software-rendered frame can take longer than a quick click; sticky
    // buttons keep a press visible to the next poll instead of losing it.
    glfwSetInputMode(window, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);
    return true;
}

void GlfwPlatform::setWindowTitle(const std::string& title)
{
    if (window)
        glfwSetWindowTitle(window, title.c_str());
}

void GlfwPlatform::terminate()
{
    window = nullptr;
    glfwTerminate();
}

double GlfwPlatform::getTime() { return glfwGetTime(); }
void GlfwPlatform::setTime(double seconds) { glfwSetTime(seconds); }

void GlfwPlatform::swapBuffers()
{
    if (!window)
        return;
    glfwSwapBuffers(window);
    pressedSincePoll.reset();
    downSincePoll = down;
    glfwPollEvents();
}

bool GlfwPlatform::keyDown(int key)
{
    // GLFW 3 reports an error for codes below the space key.
    if (!window || key < GLFW_KEY_SPACE || key > GLFW_KEY_LAST)
        return false;
    return glfwGetKey(window, key) == GLFW_PRESS || downSincePoll[size_t(key)];
}

bool GlfwPlatform::keyWentDown(int key)
{
    return window && key >= 0 && key <= GLFW_KEY_LAST && pressedSincePoll[size_t(key)];
}

bool GlfwPlatform::mouseButtonDown(int button)
{
    if (!window || button < 0 || button > GLFW_MOUSE_BUTTON_LAST)
        return false;
    return glfwGetMouseButton(window, button) == GLFW_PRESS;
}

void GlfwPlatform::mousePos(int& x, int& y)
{
    double dx = 0, dy = 0;
    if (window)
        glfwGetCursorPos(window, &dx, &dy);
    x = static_cast<int>(dx);
    y = static_cast<int>(dy);
}

void GlfwPlatform::windowSize(int& width, int& height)
{
    width = height = 0;
    if (window)
        glfwGetWindowSize(window, &width, &height);
}

void GlfwPlatform::framebufferSize(int& width, int& height)
{
    width = height = 0;
    if (window)
        glfwGetFramebufferSize(window, &width, &height);
}

int GlfwPlatform::mouseWheel() { return static_cast<int>(std::trunc(wheel)); }
void GlfwPlatform::setMouseWheel(int position) { wheel = wheelAfterReset(wheel, position); }

bool GlfwPlatform::windowOpen() { return window && !glfwWindowShouldClose(window); }

void GlfwPlatform::setKeyCallback(KeyCallback callback) { keyCallback = std::move(callback); }
void GlfwPlatform::setCharCallback(CharCallback callback) { charCallback = std::move(callback); }

void GlfwPlatform::onKey(GLFWwindow* w, int key, int, int action, int)
{
    auto* self = static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(w));
    // A key can go down and up again between two polls; glfwGetKey would
    // then never report it, so the press is remembered until the next poll.
    if (self && key >= 0 && key <= GLFW_KEY_LAST) {
        const size_t k = size_t(key);
        if (action == GLFW_PRESS) {
            self->pressedSincePoll[k] = true;
            self->downSincePoll[k] = true;
            self->down[k] = true;
        } else if (action == GLFW_RELEASE) {
            self->down[k] = false;
        }
    }
    if (self && self->keyCallback) {
        // Copy first: a callback may replace itself (the console does).
        KeyCallback cb = self->keyCallback;
        cb(key, action);
    }
}

void GlfwPlatform::onChar(GLFWwindow* w, unsigned int codepoint)
{
    auto* self = static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(w));
    if (self && self->charCallback) {
        CharCallback cb = self->charCallback;
        // GLFW 3 delivers characters on press and repeat only.
        cb(codepoint, GLFW_PRESS);
    }
}

void GlfwPlatform::onScroll(GLFWwindow* w, double, double dy)
{
    auto* self = static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(w));
    if (self)
        self->wheel += dy;
}

void GlfwPlatform::onDrop(GLFWwindow* w, int count, const char** paths)
{
    auto* self = static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(w));
    if (self && self->dropCallback) {
        DropCallback cb = self->dropCallback;
        cb(std::vector<std::string>(paths, paths + count));
    }
}
