#include "app/HeadlessPlatform.h"

#include "text/Utf8.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cstdio>

namespace {

// One display and context per process: GL objects that outlive a window
// (cached meshes, say) stay valid, and opening the next window is cheap.
struct EglState {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    int width = 0, height = 0;
    bool failed = false;
};

EglState& egl()
{
    static EglState state;
    return state;
}

bool initDisplay()
{
    EglState& s = egl();
    if (s.display != EGL_NO_DISPLAY)
        return true;
    if (s.failed)
        return false;
    s.failed = true;
    if (epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless"))
        s.display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (s.display == EGL_NO_DISPLAY)
        s.display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (s.display == EGL_NO_DISPLAY)
        return false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(s.display, &major, &minor)) {
        s.display = EGL_NO_DISPLAY;
        return false;
    }
    const EGLint configAttribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8,
        EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(s.display, configAttribs, &s.config, 1, &count) || count < 1)
        return false;
    if (!eglBindAPI(EGL_OPENGL_API))
        return false;
    s.failed = false;
    return true;
}

// A pbuffer of this size as the current draw and read surface.
bool makeSurface(int width, int height)
{
    EglState& s = egl();
    if (s.surface == EGL_NO_SURFACE || s.width != width || s.height != height) {
        if (s.surface != EGL_NO_SURFACE) {
            eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, s.context);
            eglDestroySurface(s.display, s.surface);
            s.surface = EGL_NO_SURFACE;
        }
        const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        s.surface = eglCreatePbufferSurface(s.display, s.config, surfaceAttribs);
        if (s.surface == EGL_NO_SURFACE)
            return false;
        s.width = width;
        s.height = height;
    }
    return eglMakeCurrent(s.display, s.surface, s.surface, s.context) == EGL_TRUE;
}

} // namespace

HeadlessPlatform::HeadlessPlatform()
{
    auto start = std::chrono::steady_clock::now();
    clock = [start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
}

HeadlessPlatform::~HeadlessPlatform()
{
    if (opened)
        terminate();
    // Objects that outlive this platform (process-wide GL wrappers) ask it
    // whether a context is alive; they must not reach a destroyed one.
    uninstallPlatform(this);
}

bool HeadlessPlatform::available()
{
    return initDisplay();
}

bool HeadlessPlatform::openWindow(int width, int height, int glMajor, int glMinor, bool)
{
    if (!initDisplay())
        return false;
    EglState& s = egl();
    if (s.context == EGL_NO_CONTEXT) {
        const EGLint contextAttribs[] = {
            EGL_CONTEXT_MAJOR_VERSION, glMajor,
            EGL_CONTEXT_MINOR_VERSION, glMinor,
            EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
            EGL_NONE};
        s.context = eglCreateContext(s.display, s.config, EGL_NO_CONTEXT, contextAttribs);
        if (s.context == EGL_NO_CONTEXT)
            return false;
    }
    if (!makeSurface(width, height))
        return false;
    // A new window starts from default state, as a fresh context would.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    windowWidth = frameWidth = width;
    windowHeight = frameHeight = height;
    opened = true;
    closeRequested = false;
    keyCallback = nullptr;
    charCallback = nullptr;
    dropCallback = nullptr;
    events.clear();
    pressedSincePoll.clear();
    drops.clear();
    return true;
}

bool HeadlessPlatform::resizeWindow(int width, int height, int pixelScale)
{
    if (!opened || width <= 0 || height <= 0 || pixelScale <= 0)
        return false;
    if (!makeSurface(width * pixelScale, height * pixelScale))
        return false;
    windowWidth = width;
    windowHeight = height;
    frameWidth = width * pixelScale;
    frameHeight = height * pixelScale;
    return true;
}

void HeadlessPlatform::terminate()
{
    // The context stays for the next window of this process; only the window
    // session ends.
    opened = false;
    keyCallback = nullptr;
    charCallback = nullptr;
    dropCallback = nullptr;
}

double HeadlessPlatform::getTime()
{
    return clock() - timeOffset;
}

void HeadlessPlatform::setTime(double seconds)
{
    timeOffset = clock() - seconds;
}

void HeadlessPlatform::setClock(std::function<double()> c)
{
    double now = getTime();
    clock = std::move(c);
    setTime(now);
}

void HeadlessPlatform::swapBuffers()
{
    if (!opened)
        return;
    EglState& s = egl();
    eglSwapBuffers(s.display, s.surface);
    ++swaps;
    pressedSincePoll.clear();
    while (!events.empty()) {
        Event e = events.front();
        events.pop_front();
        if (!e.isChar && e.action == GLFW_PRESS)
            pressedSincePoll.insert(e.code);
        // Copy the callback: the console replaces callbacks from inside one.
        if (e.isChar) {
            if (CharCallback cb = charCallback)
                cb(static_cast<unsigned int>(e.code), e.action);
        } else if (KeyCallback cb = keyCallback) {
            cb(e.code, e.action);
        }
    }
    while (!drops.empty()) {
        std::vector<std::string> paths = std::move(drops.front());
        drops.pop_front();
        if (DropCallback cb = dropCallback)
            cb(paths);
    }
}

bool HeadlessPlatform::keyDown(int key)
{
    return keys.count(key) != 0 || pressedSincePoll.count(key) != 0;
}

bool HeadlessPlatform::mouseButtonDown(int button)
{
    return buttons.count(button) != 0;
}

void HeadlessPlatform::mousePos(int& x, int& y)
{
    x = cursorX;
    y = cursorY;
}

void HeadlessPlatform::setMouseButton(int button, bool down)
{
    if (down)
        buttons.insert(button);
    else
        buttons.erase(button);
}

void HeadlessPlatform::pressKey(int key)
{
    keys.insert(key);
    events.push_back({false, key, GLFW_PRESS});
}

void HeadlessPlatform::releaseKey(int key)
{
    keys.erase(key);
    events.push_back({false, key, GLFW_RELEASE});
}

void HeadlessPlatform::tapKey(int key)
{
    events.push_back({false, key, GLFW_PRESS});
    events.push_back({false, key, GLFW_RELEASE});
}

void HeadlessPlatform::typeText(const std::string& text)
{
    // One event per character, as a keyboard delivers them.
    for (uint32_t c : decodeUtf8(text))
        events.push_back({true, int(c), GLFW_PRESS});
}
