#pragma once
#include <string>

// Writes RGBA pixels (rows top first, width * 4 bytes each) as a PNG at path,
// replacing any file there only once the whole picture is written (see
// replaceFileContents). False, with the reason in a few words, when it could
// not be written; the old file is then as it was.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgba, std::string& reason);

// Reads the current read buffer (width x height, RGBA) and writes it as a PNG,
// top row first, as writePng does.
bool writeFramebufferPng(const std::string& path, int width, int height, std::string& reason);
bool writeFramebufferPng(const std::string& path, int width, int height);
