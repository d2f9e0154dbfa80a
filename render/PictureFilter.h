#pragma once
// Pictures rendered k times larger than they are written, filtered down, and
// their transparent background. Needs no GL: the caller reads the images.
#include <cstdint>
#include <vector>

// The frame as rendered: the composite (RGBA, objects and lines on white),
// the object ids and the line intensities, all width x height in the same
// row order.
struct RenderedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    std::vector<uint32_t> ids;
    std::vector<uint8_t> lines;
};

// Each k x k block of samples becomes one pixel, rows kept in their order:
// the mean of the samples. With transparent, a sample's coverage is 1 on an
// object and its line intensity on the background, and the white under it
// is taken out: the pixel's alpha is the mean coverage and its colour the
// covered samples' own (white where nothing covers). Returns
// (width / k) x (height / k) RGBA; empty when the sizes do not fit.
std::vector<uint8_t> filterPicture(const RenderedPicture& picture, int k, bool transparent);
