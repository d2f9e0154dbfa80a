#include "app/ImageWriter.h"

#include "base/AtomicWrite.h"
#include "base/PngEncoder.h"

#include <epoxy/gl.h>

#include <vector>

bool writePng(const std::string& path, int width, int height, const unsigned char* rgba, std::string& reason)
{
    // Encoded in memory: the file is written in one checked piece.
    std::string png;
    if (!encodePng(width, height, rgba, png)) {
        reason = "the picture could not be encoded";
        return false;
    }
    return replaceFileContents(path, png, reason);
}

bool writeFramebufferPng(const std::string& path, int width, int height, std::string& reason)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // GL's rows start at the bottom; PNG's at the top.
    std::vector<unsigned char> flipped(pixels.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy(pixels.begin() + (height - 1 - y) * row, pixels.begin() + (height - y) * row,
                  flipped.begin() + y * row);
    return writePng(path, width, height, flipped.data(), reason);
}

bool writeFramebufferPng(const std::string& path, int width, int height)
{
    std::string reason;
    return writeFramebufferPng(path, width, height, reason);
}
