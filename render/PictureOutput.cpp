#include "render/PictureOutput.h"

#include "base/PngEncoder.h"
#include "math/Camera.h"
#include "render/OffscreenFrame.h"
#include "render/PictureFilter.h"
#include "render/Renderer.h"
#include "render/VectorPicture.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"

#include <algorithm>

namespace {

// Drawings are traced from images this large at most, for time and memory.
constexpr int maxTraceSide = 4096;

// GL's rows start at the bottom; pictures' at the top.
template <typename T>
std::vector<T> flipRows(const std::vector<T>& image, int h)
{
    std::vector<T> flipped(image.size());
    const size_t row = image.size() / size_t(h);
    for (int y = 0; y < h; ++y)
        std::copy_n(image.begin() + (h - 1 - y) * row, row, flipped.begin() + y * row);
    return flipped;
}

// One attachment of a framebuffer, rows from the top.
template <typename T>
std::vector<T> readImage(GLuint framebuffer, GLenum attachment, int w, int h, GLenum format, GLenum type,
                         size_t perPixel)
{
    std::vector<T> bottomUp(size_t(w) * h * perPixel);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(attachment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, format, type, bottomUp.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    return flipRows(bottomUp, h);
}

// Draws the scene at w x h, k times the picture's size, into an off-screen
// picture and reads what the output needs, rows from the top.
bool renderLarger(Renderer& renderer, Scene& scene, const Camera& camera, int w, int h, int k, bool vector,
                  bool outline, RenderedPicture& picture, FrameImages& images, std::string& reason)
{
    GLint maxTexture = 0, maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const int limit = std::min({maxTexture, maxViewport[0], maxViewport[1]});
    if (w > limit || h > limit) {
        reason = "a picture rendered at " + std::to_string(w) + " x " + std::to_string(h) +
                 " is larger than this OpenGL allows (" + std::to_string(limit) + ")";
        return false;
    }
    renderer.pixelScale = float(k);
    const bool drawn = renderOffscreen(renderer, scene, camera, w, h, outline, [&](GLuint framebuffer) {
        picture.width = images.width = w;
        picture.height = images.height = h;
        picture.rgba = readImage<uint8_t>(framebuffer, GL_COLOR_ATTACHMENT0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, 4);
        picture.ids = flipRows(renderer.readObjectIds(), h);
        picture.lines = readImage<uint8_t>(renderer.target(RenderTarget::Line).framebuffer, GL_COLOR_ATTACHMENT0, w,
                                           h, GL_RED, GL_UNSIGNED_BYTE, 1);
        if (!vector)
            return;
        images.ids = picture.ids;
        images.lines = picture.lines;
        images.colors = readImage<uint8_t>(renderer.target(RenderTarget::Scene).framebuffer, GL_COLOR_ATTACHMENT0,
                                           w, h, GL_RGBA, GL_UNSIGNED_BYTE, 4);
        const std::vector<uint32_t> cutIds = flipRows(renderer.readCutFaceIds(scene, camera), h);
        images.cut.assign(cutIds.size(), 0);
        for (size_t i = 0; i < cutIds.size(); ++i)
            images.cut[i] = cutIds[i] != 0 && cutIds[i] == images.ids[i];
    }, reason);
    renderer.pixelScale = 1.0f;
    return drawn;
}

} // namespace

int traceScale(int width, int height)
{
    return std::clamp(maxTraceSide / std::max({width, height, 1}), 1, 4);
}

std::map<uint32_t, std::string> objectNames(const Scene& scene, const SceneLoader& loader)
{
    std::map<uint32_t, std::string> names;
    for (const auto* set : {&scene.objects, &scene.selection})
        for (Renderable* r : *set) {
            auto* instance = dynamic_cast<MeshInstance*>(r);
            if (!instance)
                continue;
            if (auto part = loader.partIdsByMesh.find(instance->mesh); part != loader.partIdsByMesh.end()) {
                names[instance->id] = part->second;
            } else if (auto model = loader.namesByModel.find(instance->mesh); model != loader.namesByModel.end()) {
                const size_t slash = model->second.find_last_of('/');
                names[instance->id] = slash == std::string::npos ? model->second : model->second.substr(slash + 1);
            }
        }
    return names;
}

PictureFormat pictureFormatFor(const std::string& path)
{
    VectorFormat vector;
    if (!vectorFormatFor(path, vector))
        return PictureFormat::Png;
    return vector == VectorFormat::Svg ? PictureFormat::Svg : PictureFormat::Pdf;
}

bool makePicture(Renderer& renderer, Scene& scene, const Camera& camera, const std::map<uint32_t, std::string>& names,
                 const PictureRequest& request, PictureFormat format, std::string& bytes, std::string& reason)
{
    if (request.width < 1 || request.height < 1 || request.antialias < 1 || request.antialias > maxAntialias) {
        reason = "the picture needs a size and an anti-aliasing factor from 1 to " + std::to_string(maxAntialias);
        return false;
    }
    const bool vector = format != PictureFormat::Png;
    const int k = vector ? traceScale(request.width, request.height) : request.antialias;
    RenderedPicture picture;
    FrameImages images;
    if (!renderLarger(renderer, scene, camera, request.width * k, request.height * k, k, vector, request.outline,
                      picture, images, reason))
        return false;

    if (vector) {
        VectorPictureOptions options;
        options.pageWidth = request.width;
        options.pageHeight = request.height;
        options.transparent = request.transparent;
        return drawVectorPicture(images, names, options,
                                 format == PictureFormat::Svg ? VectorFormat::Svg : VectorFormat::Pdf, bytes, reason);
    }
    const std::vector<uint8_t> pixels = filterPicture(picture, k, request.transparent);
    if (pixels.empty() || !encodePng(request.width, request.height, pixels.data(), bytes)) {
        reason = "the PNG could not be encoded";
        return false;
    }
    return true;
}
