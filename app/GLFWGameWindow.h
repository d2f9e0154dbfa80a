#pragma once
#include "app/InputState.h"

#include <string>

// Abstract one-window real-time application: opens the window, loads GL,
// then runs update, clear, render, swap and timing until Escape or close.
class GLFWGameWindow {
public:
    GLFWGameWindow();
    ~GLFWGameWindow();
    GLFWGameWindow(const GLFWGameWindow&) = delete;
    GLFWGameWindow& operator=(const GLFWGameWindow&) = delete;

    // The whole life of the window. False only when the window could not open.
    bool run();

    // run() in three steps, so headless drivers can render frame by frame.
    bool start();  // open, load GL, title, init
    void frame();  // one iteration of the loop
    void finish(); // shutdown and end the window session

    static void pollInput(InputState& s);

    int width = 800;
    int height = 800;
    bool fullscreen = false;
    std::string title = "Torv";
    double maxFrameTime = 0.1;
    double averageFrameTime = 0.016666;
    bool running = false;
    int glMajorVersion = 3;
    int glMinorVersion = 3;
    bool showFps = false;
    double fpsInterval = 1.5;
    // At most this many frames a second (the loop waits out the rest of a
    // frame before its swap); 0: as many as the machine draws.
    double maxFramesPerSecond = 0.0;

protected:
    virtual void init() = 0;
    virtual void update(double dt) = 0;
    virtual void render() = 0;
    virtual void shutdown() = 0;

    // Sleeps what is left of the frame begun at t0 under maxFramesPerSecond.
    void waitOutFrame(double t0);

    // dt handed to the next update and the clamped time since the last fps line.
    double dt = 0.016666;
    double fpsTimer = 0.0;
};
