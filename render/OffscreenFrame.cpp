#include "render/OffscreenFrame.h"

#include "gl/FrameBufferObject.h"
#include "render/Renderer.h"

bool renderOffscreen(Renderer& renderer, Scene& scene, const Camera& camera, int w, int h, bool outline,
                     const std::function<void(GLuint framebuffer)>& read, std::string& reason)
{
    FrameBufferDesc desc;
    desc.width = w;
    desc.height = h;
    desc.depthInternalFormat = GL_DEPTH_COMPONENT24;
    desc.colorCount = 1;
    desc.colorFormats = {GL_RGBA};
    desc.colorInternalFormats = {GL_RGBA8};
    FrameBufferObject target;
    if (!target.create(desc)) {
        reason = "no render target of " + std::to_string(w) + " x " + std::to_string(h);
        return false;
    }
    const int oldW = renderer.width(), oldH = renderer.height();
    if (w != oldW || h != oldH)
        renderer.resize(w, h);

    FrameBufferObject::redirectWindow(target.framebuffer);
    FrameBufferObject::unbind();
    glViewport(0, 0, w, h);
    // The frame starts from what the loop's clear leaves.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The window's outline belongs to the window, not to the picture.
    const bool windowOutline = renderer.outlineSelection;
    renderer.outlineSelection = outline;
    renderer.render(scene, camera);
    renderer.outlineSelection = windowOutline;
    read(target.framebuffer);

    FrameBufferObject::redirectWindow(0);
    FrameBufferObject::unbind();
    target.release();
    if (w != oldW || h != oldH)
        renderer.resize(oldW, oldH);
    glViewport(0, 0, oldW, oldH);
    return true;
}
