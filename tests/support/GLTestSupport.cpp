#include "support/GLTestSupport.h"

#include <epoxy/gl.h>

void GLTest::SetUp()
{
    headless = std::make_unique<HeadlessPlatform>();
    setPlatform(headless.get());
    ASSERT_TRUE(headless->openWindow(800, 800, 3, 3, false)) << "no headless GL context";
    resetContextState();
}

// The process keeps one context for all its windows, so a test starts with
// whatever the one before it left (a 400 x 400 viewport, the depth test on):
// back to the state of a new context, for what the tests here touch.
void GLTest::resetContextState()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, 800, 800);
    for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST, GL_STENCIL_TEST,
                       GL_POLYGON_OFFSET_FILL, GL_FRAMEBUFFER_SRGB})
        glDisable(cap);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glBlendEquation(GL_FUNC_ADD);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glUseProgram(0);
    glBindVertexArray(0);
    glActiveTexture(GL_TEXTURE0);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
}

void GLTest::TearDown()
{
    headless->terminate();
    setPlatform(nullptr);
    headless.reset();
}

Rgba readPixel(int x, int y)
{
    Rgba p{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}
