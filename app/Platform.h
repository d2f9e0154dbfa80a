#pragma once
#include <cmath>
#include <functional>
#include <string>
#include <vector>

// Key and button codes are GLFW 3's (GLFW_KEY_*, GLFW_MOUSE_BUTTON_*); both
// implementations speak them, so the application never sees a difference.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

// Everything the frame loop and the application ask of the window system goes
// through this interface. The GLFW implementation is the real program; the
// headless one (EGL pbuffer and scripted input) runs the same application in
// tests and command-line tools.
class Platform {
public:
    using KeyCallback = std::function<void(int key, int action)>;
    using CharCallback = std::function<void(unsigned int character, int action)>;
    // Paths of files dropped onto the window, in the order the system gives.
    using DropCallback = std::function<void(const std::vector<std::string>& paths)>;

    virtual ~Platform() = default;

    // Opens the window with a core-profile context of at least glMajor.glMinor,
    // 24 depth bits and 8 stencil bits, not resizable. False when that fails.
    virtual bool openWindow(int width, int height, int glMajor, int glMinor, bool fullscreen) = 0;
    virtual void setWindowTitle(const std::string& title) = 0;
    // Ends the window system session; the context is gone afterwards.
    virtual void terminate() = 0;

    virtual double getTime() = 0;
    virtual void setTime(double seconds) = 0;

    // Presents the frame, then delivers the events that arrived since the last
    // call: key and character callbacks run inside this call.
    virtual void swapBuffers() = 0;

    // Down now, or pressed in the events the last swapBuffers delivered: a
    // tap shorter than a frame still shows to the next frame's queries.
    virtual bool keyDown(int key) = 0;
    // A press arrived in the events the last swapBuffers delivered. Each
    // press shows in exactly one frame, even one released and pressed again
    // while the frame ran.
    virtual bool keyWentDown(int key) = 0;
    virtual bool mouseButtonDown(int button) = 0;
    // Cursor in window pixels, origin top-left, y down, truncated to ints.
    virtual void mousePos(int& x, int& y) = 0;
    // The window's size in the units the cursor is measured in, and the size
    // of its framebuffer in pixels. The two differ on scaled (HiDPI) screens,
    // and the window manager may change both whatever size was asked for.
    virtual void windowSize(int& width, int& height) = 0;
    virtual void framebufferSize(int& width, int& height) = 0;
    // A window position mapped to the framebuffer pixel under it (origin
    // top-left, y down, both).
    void windowToFramebuffer(int& x, int& y);
    // The cursor in framebuffer pixels.
    void framebufferCursor(int& x, int& y);
    // Whole wheel notches accumulated since the last setMouseWheel.
    virtual int mouseWheel() = 0;
    // Sets the whole notches; a part of a notch not yet read is kept (see
    // wheelAfterReset), so slow and high-resolution scrolling add up.
    virtual void setMouseWheel(int position) = 0;
    // False once the user asked to close the window.
    virtual bool windowOpen() = 0;

    // An empty function removes the callback.
    virtual void setKeyCallback(KeyCallback callback) = 0;
    virtual void setCharCallback(CharCallback callback) = 0;
    // Runs inside swapBuffers, like the key callbacks.
    virtual void setDropCallback(DropCallback callback) = 0;

    // True while a GL context of this platform is current.
    virtual bool contextAlive() const = 0;
};

// The wheel accumulator after setMouseWheel(position): the whole notches are
// replaced, the fraction of a notch stays.
inline double wheelAfterReset(double wheel, int position)
{
    return position + (wheel - std::trunc(wheel));
}

// The platform in use; the GLFW one unless a tool or test installs another.
Platform& platform();
void setPlatform(Platform* p);
// Clears the current platform if it is p (platforms call this as they die).
void uninstallPlatform(Platform* p);
// True when some platform is installed and its GL context is current; GL
// wrappers check this before deleting names in destructors.
bool glContextAlive();
