#pragma once

#include <vector>

// A glyph's metrics and its place in the atlas (x, y: top-left pixel).
struct PackGlyph {
    int index, width, height, bearingX, bearingY, advance, x, y;
};

// Packs every glyph into the smallest square atlas of the series
// side_k = (int)sqrt(totalArea * (1.05 + 0.05 k)) into which all of them fit,
// sets their x and y, sorts them by index and returns the side. With no
// glyphs or no pixels at all the side is 1.
int packGlyphs(std::vector<PackGlyph>& glyphs);

// One packing attempt into a side x side square, in the order given; glyphs
// that find no place keep their x and y. Returns how many were placed.
int packGlyphsInto(std::vector<PackGlyph>& glyphs, int side);
