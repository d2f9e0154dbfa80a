#pragma once
// Vector drawings read back as pixels by independent programs: rsvg-convert
// for SVG, pdftoppm for PDF (at 72 dpi a PDF point is one pixel).
#include <stb/stb_image.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
    bool load(const std::string& path)
    {
        int channels = 0;
        unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
        if (!data)
            return false;
        rgba.assign(data, data + size_t(width) * height * 4);
        stbi_image_free(data);
        return true;
    }
};

// Rasterises an .svg or .pdf at width x height into png; true when the
// program succeeded.
inline bool rasterise(const std::string& drawing, int width, int height, const std::string& png)
{
    const bool pdf = drawing.size() > 4 && drawing.compare(drawing.size() - 4, 4, ".pdf") == 0;
    std::string command;
    if (pdf) {
        const std::string prefix = png.substr(0, png.size() - 4);
        command = "pdftoppm -png -singlefile -scale-to-x " + std::to_string(width) + " -scale-to-y " +
                  std::to_string(height) + " '" + drawing + "' '" + prefix + "'";
    } else {
        command = "rsvg-convert -w " + std::to_string(width) + " -h " + std::to_string(height) + " -o '" + png +
                  "' '" + drawing + "'";
    }
    return std::system(command.c_str()) == 0;
}

// xmllint finds the file well-formed.
inline bool wellFormedXml(const std::string& path)
{
    return std::system(("xmllint --noout '" + path + "'").c_str()) == 0;
}
