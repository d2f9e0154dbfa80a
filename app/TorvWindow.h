#pragma once
#include "app/GLFWGameWindow.h"

// The application. (Grows with the renderer and the scene.)
class TorvWindow : public GLFWGameWindow {
public:
    TorvWindow();
    ~TorvWindow();

    int renderWidth = 800;
    int renderHeight = 800;

protected:
    void init() override;
    void update(double dt) override;
    void render() override;
    void shutdown() override;

private:
    InputState input;
};
