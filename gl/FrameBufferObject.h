#pragma once
#include <epoxy/gl.h>

#include <vector>

// What a render target is made of: one depth texture and colorCount colour
// textures, all of one size.
struct FrameBufferDesc {
    int width = 0;
    int height = 0;
    GLenum depthFormat = GL_DEPTH_COMPONENT;
    GLenum depthInternalFormat = GL_DEPTH_COMPONENT32;
    int colorCount = 0;
    std::vector<GLenum> colorFormats;
    std::vector<GLenum> colorInternalFormats;
    GLenum wrap = GL_CLAMP_TO_EDGE;
    GLenum depthMinFilter = GL_NEAREST;
    GLenum depthMagFilter = GL_NEAREST;
    GLenum depthType = GL_UNSIGNED_INT;
    GLenum colorMinFilter = GL_NEAREST;
    GLenum colorMagFilter = GL_NEAREST;
    GLenum colorType = GL_UNSIGNED_BYTE;
};

// An off-screen target, created once and never resized.
class FrameBufferObject {
public:
    static constexpr GLuint none = static_cast<GLuint>(-1);

    FrameBufferObject() = default;
    ~FrameBufferObject();
    FrameBufferObject(const FrameBufferObject&) = delete;
    FrameBufferObject& operator=(const FrameBufferObject&) = delete;

    bool create(const FrameBufferDesc& desc);
    void release();

    // Binds for drawing with all colour attachments (or none).
    void bind() const;
    static void unbind();
    // Makes unbind (and so the passes that draw "to the window") go to this
    // framebuffer's first colour attachment instead; 0 is the window again.
    // Pictures taken off screen use it.
    static void redirectWindow(GLuint framebuffer);

    // The status message for an incomplete framebuffer.
    static const char* statusMessage(GLenum status);

    GLuint framebuffer = none;
    GLenum depthFormat = none;
    GLenum depthInternalFormat = none;
    GLuint depthTexture = none;
    int colorCount = -1;
    std::vector<GLenum> colorFormats;
    std::vector<GLenum> colorInternalFormats;
    std::vector<GLuint> colorTextures;
    std::vector<GLenum> drawBuffers;
    int width = -1;
    int height = -1;
    bool created = false;
};
