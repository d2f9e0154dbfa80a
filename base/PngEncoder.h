#pragma once
#include <string>

// Encodes RGBA pixels (rows top first, width * 4 bytes each) as a PNG file's
// bytes. The pictures are illustrations, flat colours over white: unfiltered
// rows compress best and quickest there. False when the pixels could not be
// encoded (then bytes is empty). level: zlib's, 1 (fastest) to 9 (smallest).
bool encodePng(int width, int height, const unsigned char* rgba, std::string& bytes, int level = 6);
