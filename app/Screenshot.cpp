#include "app/Screenshot.h"

#include "app/ImageWriter.h"
#include "app/TorvWindow.h"
#include "gl/FrameBufferObject.h"
#include "math/Camera.h"

bool parseScreenshotScale(const std::string& text, int& scale)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '4')
        return false;
    scale = text[0] - '0';
    return true;
}

std::string runScreenshotCommand(TorvWindow& window, const std::vector<std::string>& given)
{
    std::vector<std::string> tokens = given;
    const bool outline = tokens.size() > 2 && tokens.back() == "--outline";
    if (outline)
        tokens.pop_back();
    if (tokens.size() < 2 || tokens.size() > 3)
        return "screenshot NAME [SCALE] [--outline]";
    int scale = 1;
    if (tokens.size() == 3 && !parseScreenshotScale(tokens[2], scale))
        return "screenshot: SCALE is 1, 2, 3 or 4";
    std::string reason;
    if (!window.screenshot(tokens[1], scale, reason, outline))
        return "screenshot: " + reason;
    return "wrote " + tokens[1] + " (" + std::to_string(window.renderWidth() * scale) + " x " +
           std::to_string(window.renderHeight() * scale) + ")";
}

bool TorvWindow::screenshot(const std::string& path, int scale, std::string& reason, bool outline)
{
    if (scale < 1 || scale > 4) {
        reason = "SCALE is 1, 2, 3 or 4";
        return false;
    }
    const int w = renderWidth(), h = renderHeight();
    const int outW = w * scale, outH = h * scale;
    FrameBufferDesc desc;
    desc.width = outW;
    desc.height = outH;
    desc.depthInternalFormat = GL_DEPTH_COMPONENT24;
    desc.colorCount = 1;
    desc.colorFormats = {GL_RGBA};
    desc.colorInternalFormats = {GL_RGBA8};
    FrameBufferObject picture;
    if (!picture.create(desc)) {
        reason = "no render target of " + std::to_string(outW) + " x " + std::to_string(outH);
        return false;
    }
    // At a larger scale the picture keeps the window's view: the projection
    // keeps its aspect, only what counts pixels changes.
    if (scale != 1) {
        frameRenderer.resize(outW, outH);
        camera->viewportWidth = outW;
        camera->viewportHeight = outH;
    }

    FrameBufferObject::redirectWindow(picture.framebuffer);
    FrameBufferObject::unbind();
    glViewport(0, 0, outW, outH);
    // The frame starts from what the loop's clear leaves.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The window's outline belongs to the window, not to the picture.
    const bool windowOutline = frameRenderer.outlineSelection;
    frameRenderer.outlineSelection = outline;
    frameRenderer.render(*scene, *camera);
    frameRenderer.outlineSelection = windowOutline;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    std::string why;
    const bool written = writeFramebufferPng(path, outW, outH, why);
    FrameBufferObject::redirectWindow(0);
    FrameBufferObject::unbind();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    picture.release();

    if (scale != 1) {
        frameRenderer.resize(w, h);
        camera->viewportWidth = w;
        camera->viewportHeight = h;
    }
    glViewport(0, 0, w, h);
    if (!written)
        reason = "cannot write " + path + ": " + why;
    return written;
}
