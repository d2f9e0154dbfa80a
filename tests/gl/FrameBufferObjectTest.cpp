#include "gl/FrameBufferObject.h"
#include "support/GLTestSupport.h"

namespace {

class FrameBufferObjectTest : public GLTest {};

FrameBufferDesc depthOnly(int w, int h)
{
    FrameBufferDesc d;
    d.width = w;
    d.height = h;
    d.depthInternalFormat = GL_DEPTH_COMPONENT32;
    return d;
}

} // namespace

TEST_F(FrameBufferObjectTest, DepthOnlyTargetDrawsToNone)
{
    FrameBufferObject fbo;
    ASSERT_TRUE(fbo.create(depthOnly(64, 32)));
    EXPECT_EQ(fbo.colorCount, 0);
    fbo.bind();
    GLint drawBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER0, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_NONE);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    FrameBufferObject::unbind();
}

TEST_F(FrameBufferObjectTest, ColourAndIdTargetIsCompleteWithTwoDrawBuffers)
{
    FrameBufferDesc d = depthOnly(800, 800);
    d.colorCount = 2;
    d.colorFormats = {GL_RGBA, GL_RED_INTEGER};
    d.colorInternalFormats = {GL_RGBA8, GL_R32UI};
    d.colorType = GL_UNSIGNED_BYTE;
    FrameBufferObject fbo;
    ASSERT_TRUE(fbo.create(d));
    ASSERT_EQ(fbo.drawBuffers.size(), 2u);
    EXPECT_EQ(fbo.drawBuffers[0], static_cast<GLenum>(GL_COLOR_ATTACHMENT0));
    EXPECT_EQ(fbo.drawBuffers[1], static_cast<GLenum>(GL_COLOR_ATTACHMENT1));
    fbo.bind();
    GLint b0 = 0, b1 = 0;
    glGetIntegerv(GL_DRAW_BUFFER0, &b0);
    glGetIntegerv(GL_DRAW_BUFFER1, &b1);
    EXPECT_EQ(b0, GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(b1, GL_COLOR_ATTACHMENT1);

    // The integer attachment really holds 32-bit ids.
    GLuint clearId[4] = {123456789u, 0, 0, 0};
    glClearBufferuiv(GL_COLOR, 1, clearId);
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    GLuint id = 0;
    glReadPixels(10, 10, 1, 1, GL_RED_INTEGER, GL_UNSIGNED_INT, &id);
    EXPECT_EQ(id, 123456789u);
    FrameBufferObject::unbind();
}

TEST_F(FrameBufferObjectTest, SecondCreateAndZeroSizeAreRefused)
{
    FrameBufferObject fbo;
    ASSERT_TRUE(fbo.create(depthOnly(16, 16)));
    GLuint name = fbo.framebuffer;
    EXPECT_FALSE(fbo.create(depthOnly(32, 32)));
    EXPECT_EQ(fbo.framebuffer, name);
    EXPECT_EQ(fbo.width, 16);

    FrameBufferObject empty;
    EXPECT_FALSE(empty.create(depthOnly(0, 16)));
    EXPECT_FALSE(empty.created);
    EXPECT_EQ(empty.framebuffer, FrameBufferObject::none);
}

TEST_F(FrameBufferObjectTest, IncompleteTargetReportsAndStaysCreated)
{
    // A colour-renderable depth format is not depth-renderable: incomplete.
    FrameBufferDesc d = depthOnly(8, 8);
    d.depthFormat = GL_RED;
    d.depthInternalFormat = GL_R8;
    d.depthType = GL_UNSIGNED_BYTE;
    FrameBufferObject fbo;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(fbo.create(d));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, std::string(FrameBufferObject::statusMessage(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT)) + "\n");
    EXPECT_TRUE(fbo.created);
    fbo.release();
    EXPECT_FALSE(fbo.created);
}
