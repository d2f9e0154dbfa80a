#include "app/ImageWriter.h"

#include <epoxy/gl.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <vector>

bool writeFramebufferPng(const std::string& path, int width, int height)
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
    return stbi_write_png(path.c_str(), width, height, 4, flipped.data(), static_cast<int>(row)) != 0;
}
