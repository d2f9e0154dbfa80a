// Which pixels of the last frame show a cut face: the cut-surface pass drawn
// once more, over the same front depth and with the same flood, into an id
// image of its own.
#include "app/TorvWindow.h"

#include "math/Camera.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"

#include <algorithm>

std::vector<uint32_t> TorvWindow::readCutFaceIds()
{
    const int w = renderWidth, h = renderHeight;
    std::vector<uint32_t> ids(size_t(w) * h, 0);
    if (!lastFloodResult)
        return ids;
    FrameBufferDesc desc;
    desc.width = w;
    desc.height = h;
    desc.depthFormat = GL_DEPTH_COMPONENT;
    desc.depthInternalFormat = GL_DEPTH_COMPONENT32;
    desc.depthType = GL_UNSIGNED_INT;
    desc.wrap = GL_CLAMP_TO_EDGE;
    desc.colorCount = 2;
    desc.colorFormats = {GL_RGBA, GL_RED_INTEGER};
    desc.colorInternalFormats = {GL_RGBA8, GL_R32UI};
    FrameBufferObject faces;
    if (!faces.create(desc))
        return ids;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frontDepthCopy.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, faces.framebuffer);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    Vec4 light = camera->view * Vec4(lightPosition.x, lightPosition.y, lightPosition.z, 1.0f);
    faces.bind();
    const GLuint noObject[4] = {0, 0, 0, 0};
    glClearBufferuiv(GL_COLOR, 1, noObject);
    glViewport(0, 0, w, h);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    cutSurfaceShader.use();
    cutSurfaceShader.set("viewLightPosition", light.x, light.y, light.z);
    cutSurfaceShader.set("invImageSize", 1.0f / w, 1.0f / h);
    cutSurfaceShader.set("hatchScale", pixelScale);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, lastFloodResult->depthTexture);
    cutSurfaceShader.set("depthMap", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, frontDepthCopy.depthTexture);
    cutSurfaceShader.set("depthFrontFace", 1);
    for (Renderable* r : scene->objects)
        r->draw(cutSurfaceShader);
    glUseProgram(0);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);

    std::vector<uint32_t> bottomUp(ids.size());
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RED_INTEGER, GL_UNSIGNED_INT, bottomUp.data());
    FrameBufferObject::unbind();
    glReadBuffer(GL_BACK);
    faces.release();
    for (int y = 0; y < h; ++y)
        std::copy_n(bottomUp.begin() + size_t(h - 1 - y) * w, w, ids.begin() + size_t(y) * w);
    return ids;
}
