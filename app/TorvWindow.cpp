#include "app/TorvWindow.h"

#include "gl/GLLoader.h"

TorvWindow::TorvWindow() = default;
TorvWindow::~TorvWindow() = default;

void TorvWindow::init()
{
    showFps = true;
    glViewport(0, 0, renderWidth, renderHeight);
}

void TorvWindow::update(double)
{
    pollInput(input);
}

void TorvWindow::render() {}

void TorvWindow::shutdown() {}
