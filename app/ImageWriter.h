#pragma once
#include <string>

// Reads the current read buffer (width x height, RGBA) and writes it as a PNG,
// top row first. False when the file could not be written.
bool writeFramebufferPng(const std::string& path, int width, int height);
