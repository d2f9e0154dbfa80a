#pragma once
#include "app/Platform.h"

#include <deque>
#include <functional>
#include <set>

// Off-screen platform: an EGL context on Mesa's surfaceless platform with a
// pbuffer of the window's size, and input that the caller scripts. Polled
// state (keys, buttons, cursor, wheel) changes at once; key and character
// events are queued and delivered inside swapBuffers, as a real window does.
class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    bool openWindow(int width, int height, int glMajor, int glMinor, bool fullscreen) override;
    void setWindowTitle(const std::string& title) override { windowTitle = title; }
    void terminate() override;
    double getTime() override;
    void setTime(double seconds) override;
    void swapBuffers() override;
    bool keyDown(int key) override;
    bool keyWentDown(int key) override { return pressedSincePoll.count(key) != 0; }
    bool mouseButtonDown(int button) override;
    void mousePos(int& x, int& y) override;
    void windowSize(int& width, int& height) override { width = windowWidth; height = windowHeight; }
    void framebufferSize(int& width, int& height) override { width = frameWidth; height = frameHeight; }
    int mouseWheel() override { return static_cast<int>(std::trunc(wheel)); }
    void setMouseWheel(int position) override { wheel = wheelAfterReset(wheel, position); }
    bool windowOpen() override { return opened && !closeRequested; }
    void setKeyCallback(KeyCallback callback) override { keyCallback = std::move(callback); }
    void setCharCallback(CharCallback callback) override { charCallback = std::move(callback); }
    void setDropCallback(DropCallback callback) override { dropCallback = std::move(callback); }
    bool contextAlive() const override { return opened; }

    // Scripted input.
    void setCursor(int x, int y) { cursorX = x; cursorY = y; }
    void setMouseButton(int button, bool down);
    void pressKey(int key);   // key goes down now; a press event is queued
    void releaseKey(int key); // key goes up now; a release event is queued
    void tapKey(int key);     // a press and a release, both within this frame
    void typeText(const std::string& text); // character events, queued
    void scroll(double notches) { wheel += notches; }
    void dropFiles(const std::vector<std::string>& paths) { drops.push_back(paths); } // queued
    void requestClose() { closeRequested = true; }
    // What a window manager or a scaled screen does to a real window: the
    // window becomes width x height and its framebuffer pixelScale times
    // that. False when no surface of that size can be made.
    bool resizeWindow(int width, int height, int pixelScale = 1);

    // Replaces the clock (seconds); tests drive frame times with it.
    void setClock(std::function<double()> clock);

    const std::string& title() const { return windowTitle; }
    int framesSwapped() const { return swaps; }
    // Whether this process can create a headless GL context at all.
    static bool available();

private:
    struct Event {
        bool isChar;
        int code;
        int action;
    };

    std::function<double()> clock;
    double timeOffset = 0.0;
    std::string windowTitle;
    bool opened = false;
    bool closeRequested = false;
    int cursorX = 0, cursorY = 0;
    int windowWidth = 0, windowHeight = 0;
    int frameWidth = 0, frameHeight = 0;
    double wheel = 0.0;
    int swaps = 0;
    std::set<int> keys;
    std::set<int> pressedSincePoll;
    std::set<int> buttons;
    std::deque<Event> events;
    KeyCallback keyCallback;
    CharCallback charCallback;
    DropCallback dropCallback;
    std::deque<std::vector<std::string>> drops;
};
