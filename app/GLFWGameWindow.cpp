#include "app/GLFWGameWindow.h"

#include "app/Platform.h"
#include "gl/GLLoader.h"

#include <chrono>
#include <iostream>
#include <thread>

GLFWGameWindow::GLFWGameWindow() = default;
GLFWGameWindow::~GLFWGameWindow() = default;

bool GLFWGameWindow::start()
{
    Platform& p = platform();
    if (!p.openWindow(width, height, glMajorVersion, glMinorVersion, fullscreen)) {
        std::cout << "ERROR: failed to init window" << std::endl;
        p.terminate();
        return false;
    }
    loadGL();
    p.setWindowTitle(title);
    init();
    dt = 0.016666;
    running = true;
    fpsTimer = 0.0;
    return true;
}

void GLFWGameWindow::frame()
{
    Platform& p = platform();
    p.setTime(0.0);
    double t0 = p.getTime();
    update(dt);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render();
    waitOutFrame(t0);
    p.swapBuffers();
    double frameTime = p.getTime() - t0;
    averageFrameTime = averageFrameTime * 0.98 + frameTime * 0.02;
    dt = frameTime <= maxFrameTime ? frameTime : maxFrameTime;
    fpsTimer += dt;
    if (fpsTimer > fpsInterval) {
        fpsTimer = 0.0;
        if (showFps)
            std::cout << 1.0 / averageFrameTime << " fps" << std::endl;
    }
    running = running && !p.keyDown(GLFW_KEY_ESCAPE);
    running = running && p.windowOpen();
}

void GLFWGameWindow::waitOutFrame(double t0)
{
    if (maxFramesPerSecond <= 0.0)
        return;
    // Events that arrive meanwhile are taken by the swap's poll, as ever.
    const double left = 1.0 / maxFramesPerSecond - (platform().getTime() - t0);
    if (left > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(left));
}

void GLFWGameWindow::finish()
{
    shutdown();
    platform().terminate();
}

bool GLFWGameWindow::run()
{
    if (!start())
        return false;
    while (running)
        frame();
    finish();
    return true;
}

void GLFWGameWindow::pollInput(InputState& s)
{
    Platform& p = platform();
    for (int b = 0; b < InputState::buttonCount; ++b) {
        if (p.mouseButtonDown(b)) {
            s.mousePressed[b] = !s.mouseDown[b];
            s.mouseReleased[b] = false;
            s.mouseDown[b] = true;
        } else {
            s.mouseReleased[b] = s.mouseDown[b];
            s.mousePressed[b] = false;
            s.mouseDown[b] = false;
        }
    }
    for (int k = 0; k < InputState::keyCount; ++k) {
        // Codes below the space key are not keys in GLFW 3; they stay up.
        bool down = k >= GLFW_KEY_SPACE && p.keyDown(k);
        if (down) {
            s.keyPressed[k] = !s.keyDown[k] || p.keyWentDown(k);
            s.keyReleased[k] = false;
            s.keyDown[k] = true;
        } else {
            s.keyReleased[k] = s.keyDown[k];
            s.keyPressed[k] = false;
            s.keyDown[k] = false;
        }
    }
}
