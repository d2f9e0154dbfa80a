#include "gl/FrameBufferObject.h"

#include "app/Platform.h"

#include <iostream>

FrameBufferObject::~FrameBufferObject()
{
    if (glContextAlive())
        release();
}

const char* FrameBufferObject::statusMessage(GLenum status)
{
    switch (status) {
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
        return "An attachment could not be bound to frame buffer object!";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
        return "Attachments are missing! At least one image (texture) must be bound to the frame buffer object!";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
        return "A Draw buffer is incomplete or undefinied. All draw buffers must specify attachment points that have "
               "images attached.";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
        return "A Read buffer is incomplete or undefinied. All read buffers must specify attachment points that have "
               "images attached.";
    case GL_FRAMEBUFFER_UNSUPPORTED:
        return "Attempt to use an unsupported format combinaton!";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE:
        return "All images must have the same number of multisample samples.";
    case GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS:
        return "If a layered image is attached to one attachment, then all attachments must be layered attachments. "
               "The attached layers do not have to have the same number of layers, nor do the layers have to come "
               "from the same kind of texture.";
    default:
        return "Unknown error while attempting to create frame buffer object!";
    }
}

bool FrameBufferObject::create(const FrameBufferDesc& desc)
{
    if (created || desc.width == 0 || desc.height == 0)
        return false;
    // A request whose format lists are shorter than its count would read past
    // them; such a request is refused like a zero size.
    if (desc.colorCount < 0 || desc.colorFormats.size() < static_cast<size_t>(desc.colorCount) ||
        desc.colorInternalFormats.size() < static_cast<size_t>(desc.colorCount))
        return false;

    width = desc.width;
    height = desc.height;
    colorCount = desc.colorCount;
    if (colorCount > 0) {
        colorFormats.assign(desc.colorFormats.begin(), desc.colorFormats.begin() + colorCount);
        colorInternalFormats.assign(desc.colorInternalFormats.begin(), desc.colorInternalFormats.begin() + colorCount);
        colorTextures.assign(colorCount, none);
    }
    created = true;

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);

    depthFormat = desc.depthFormat;
    depthInternalFormat = desc.depthInternalFormat;
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, desc.depthMinFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, desc.depthMagFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, desc.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, desc.wrap);
    glTexImage2D(GL_TEXTURE_2D, 0, depthInternalFormat, width, height, 0, depthFormat, desc.depthType, nullptr);
    GLenum depthAttachment = depthFormat == GL_DEPTH_STENCIL ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    glFramebufferTexture(GL_FRAMEBUFFER, depthAttachment, depthTexture, 0);

    if (colorCount > 0) {
        glGenTextures(colorCount, colorTextures.data());
        for (int i = 0; i < colorCount; ++i) {
            glBindTexture(GL_TEXTURE_2D, colorTextures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, desc.colorMinFilter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, desc.colorMagFilter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, desc.wrap);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, desc.wrap);
            glTexImage2D(GL_TEXTURE_2D, 0, colorInternalFormats[i], width, height, 0, colorFormats[i], desc.colorType,
                         nullptr);
            glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, colorTextures[i], 0);
        }
        drawBuffers.resize(colorCount);
        for (int i = 0; i < colorCount; ++i)
            drawBuffers[i] = GL_COLOR_ATTACHMENT0 + i;
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return true;
    }
    std::cout << statusMessage(status) << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return false;
}

void FrameBufferObject::release()
{
    if (!created)
        return;
    if (colorCount > 0 && !colorTextures.empty())
        glDeleteTextures(colorCount, colorTextures.data());
    colorTextures.clear();
    colorFormats.clear();
    colorInternalFormats.clear();
    drawBuffers.clear();
    glDeleteTextures(1, &depthTexture);
    glDeleteFramebuffers(1, &framebuffer);
    depthTexture = none;
    framebuffer = none;
    created = false;
}

void FrameBufferObject::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (colorCount > 0)
        glDrawBuffers(colorCount, drawBuffers.data());
    else
        glDrawBuffer(GL_NONE);
}

namespace {
GLuint windowFramebuffer = 0;
}

void FrameBufferObject::redirectWindow(GLuint framebuffer)
{
    windowFramebuffer = framebuffer;
}

void FrameBufferObject::unbind()
{
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer);
    glDrawBuffer(windowFramebuffer ? GL_COLOR_ATTACHMENT0 : GL_BACK);
}
