// Which pixels of the last frame show a cut face: the cut surfaces drawn once
// more, over a copy of the same front depth and with the same flood, into an
// id image of their own.
#include "render/Renderer.h"

#include "math/Camera.h"

std::vector<uint32_t> Renderer::readCutFaceIds(Scene& scene, const Camera& camera)
{
    const int w = frameWidth, h = frameHeight;
    std::vector<uint32_t> ids(size_t(w) * h, 0);
    if (!lastFlood || !frontDepthCopy.created)
        return ids;
    FrameBufferObject faces;
    if (!faces.create(sceneDesc()))
        return ids;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frontDepthCopy.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, faces.framebuffer);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    const Vec4 light = camera.view * Vec4(lightPosition.x, lightPosition.y, lightPosition.z, 1.0f);
    Frame f{scene, camera, Vec3(light.x, light.y, light.z), lastFlood, lastCut, PixelRect{}};
    faces.bind();
    const GLuint noObject[4] = {0, 0, 0, 0};
    glClearBufferuiv(GL_COLOR, 1, noObject);
    glViewport(0, 0, w, h);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    drawCutSurfaces(f);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);

    glReadBuffer(GL_COLOR_ATTACHMENT1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RED_INTEGER, GL_UNSIGNED_INT, ids.data());
    FrameBufferObject::unbind();
    glReadBuffer(GL_BACK);
    faces.release();
    return ids;
}
