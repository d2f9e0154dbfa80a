#include "render/VectorPicture.h"

#include "render/VectorDocument.h"
#include "render/VectorTrace.h"

#include <algorithm>
#include <cctype>

bool vectorFormatFor(const std::string& path, VectorFormat& format)
{
    if (path.size() < 5)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".svg")
        format = VectorFormat::Svg;
    else if (tail == ".pdf")
        format = VectorFormat::Pdf;
    else
        return false;
    return true;
}

std::string vectorGroupName(const std::map<uint32_t, std::string>& names, uint32_t id)
{
    auto it = names.find(id);
    return it != names.end() && !it->second.empty() ? it->second : "object-" + std::to_string(id);
}

bool drawVectorPicture(const FrameImages& images, const std::map<uint32_t, std::string>& names,
                       const VectorPictureOptions& options, VectorFormat format, std::string& bytes,
                       std::string& reason)
{
    const size_t pixels = size_t(std::max(images.width, 0)) * size_t(std::max(images.height, 0));
    if (pixels == 0 || images.ids.size() != pixels || images.colors.size() != pixels * 4 ||
        images.cut.size() != pixels || images.lines.size() != pixels) {
        reason = "the frame's images do not fit together";
        return false;
    }
    if (!(options.pageWidth > 0) || !(options.pageHeight > 0)) {
        reason = "the page has no size";
        return false;
    }
    return writeVectorDocument(traceFrame(images, options.pageWidth, options.pageHeight), names, options, format,
                               bytes, reason);
}
