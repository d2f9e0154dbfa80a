#pragma once
// The illustration as a vector drawing (SVG or PDF), traced from the images
// of one frame: every object's visible region per colour as filled paths,
// its cut faces as the same kind of region filled with a hatch pattern, and
// the lines as filled outlines on top. Each object's paths form one group
// named after the object. Needs no GL: the caller reads the images.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The images a drawing is traced from, all width x height, top row first.
struct FrameImages {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> ids;   // object id of the visible surface, 0 for none
    std::vector<uint8_t> colors; // RGBA of the shaded scene before the lines
    std::vector<uint8_t> cut;    // non-zero where a cut face shows
    std::vector<uint8_t> lines;  // line intensity, 255 full
};

enum class VectorFormat { Svg, Pdf };

struct VectorPictureOptions {
    // The page in output pixels (SVG user units, PDF points); the images are
    // usually several times larger, for smooth outlines.
    double pageWidth = 800;
    double pageHeight = 800;
    // No white page behind the objects.
    bool transparent = false;
};

// The format an output name asks for by its extension (.svg, .pdf, any
// case); false for any other name.
bool vectorFormatFor(const std::string& path, VectorFormat& format);

// The group name an id gets in the drawing: its entry in names, else
// "object-ID".
std::string vectorGroupName(const std::map<uint32_t, std::string>& names, uint32_t id);

// Traces the images and draws them into a document held in bytes. False with
// a reason when the images do not fit together or the drawing failed.
bool drawVectorPicture(const FrameImages& images, const std::map<uint32_t, std::string>& names,
                       const VectorPictureOptions& options, VectorFormat format, std::string& bytes,
                       std::string& reason);
