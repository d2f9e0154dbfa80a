#include "app/Screenshot.h"

#include "app/ImageWriter.h"
#include "app/TorvWindow.h"
#include "app/WindowPicture.h"
#include "math/Camera.h"
#include "render/OffscreenFrame.h"

#include <cctype>

bool parseScreenshotScale(const std::string& text, int& scale)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '4')
        return false;
    scale = text[0] - '0';
    return true;
}

std::string runScreenshotCommand(TorvWindow& window, const std::vector<std::string>& given)
{
    const std::vector<std::string>& tokens = given;
    const std::string usage = "screenshot NAME [SCALE] [--outline] [antialias K] [transparent]";
    if (tokens.size() < 2)
        return usage;
    int scale = 1;
    size_t next = 2;
    if (tokens.size() > 2 && !tokens[2].empty() && std::isdigit(static_cast<unsigned char>(tokens[2][0]))) {
        if (!parseScreenshotScale(tokens[2], scale))
            return "screenshot: SCALE is 1, 2, 3 or 4";
        next = 3;
    }
    PictureRequest request;
    request.width = window.renderWidth() * scale;
    request.height = window.renderHeight() * scale;
    for (size_t i = next; i < tokens.size(); ++i) {
        if (tokens[i] == "transparent") {
            request.transparent = true;
        } else if (tokens[i] == "--outline") {
            request.outline = true;
        } else if (tokens[i] == "antialias" && i + 1 < tokens.size()) {
            const std::string& k = tokens[++i];
            if (k.size() != 1 || k[0] < '1' || k[0] > '0' + maxAntialias)
                return "screenshot: antialias K takes K from 1 to " + std::to_string(maxAntialias);
            request.antialias = k[0] - '0';
        } else {
            return usage;
        }
    }
    std::string reason;
    const bool plain = pictureFormatFor(tokens[1]) == PictureFormat::Png && request.antialias == 1 &&
                       !request.transparent;
    if (plain ? !window.screenshot(tokens[1], scale, reason, request.outline)
              : !writeWindowPicture(window, tokens[1], request, reason))
        return "screenshot: " + reason;
    return "wrote " + tokens[1] + " (" + std::to_string(request.width) + " x " + std::to_string(request.height) + ")";
}

bool TorvWindow::screenshot(const std::string& path, int scale, std::string& reason, bool outline)
{
    if (scale < 1 || scale > 4) {
        reason = "SCALE is 1, 2, 3 or 4";
        return false;
    }
    const int w = renderWidth(), h = renderHeight();
    const int outW = w * scale, outH = h * scale;
    // At a larger scale the picture keeps the window's view: the projection
    // keeps its aspect, only what counts pixels changes.
    if (scale != 1) {
        camera->viewportWidth = outW;
        camera->viewportHeight = outH;
    }
    std::string why;
    bool written = false;
    const bool drawn = renderOffscreen(frameRenderer, *scene, *camera, outW, outH, outline, [&](GLuint framebuffer) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        written = writeFramebufferPng(path, outW, outH, why);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
    }, reason);
    if (scale != 1) {
        camera->viewportWidth = w;
        camera->viewportHeight = h;
    }
    if (!drawn)
        return false;
    if (!written)
        reason = "cannot write " + path + ": " + why;
    return written;
}
