#pragma once
// Writing traced outlines as an SVG or PDF document (cairo).
#include "render/VectorPicture.h"
#include "render/VectorTrace.h"

#include <cstdint>
#include <map>
#include <string>

// The document of the picture on a page of the options' size: the white page
// unless transparent, each object's fills (each object a group named as
// vectorGroupName says), the cut faces' hatch as one repeating pattern fill
// each, the lines on top in a group "lines". False with a reason when cairo
// fails.
bool writeVectorDocument(const TracedPicture& picture, const std::map<uint32_t, std::string>& names,
                         const VectorPictureOptions& options, VectorFormat format, std::string& bytes,
                         std::string& reason);
