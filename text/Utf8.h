#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Typed text is kept as UTF-8: names and paths pass through to the file
// system byte for byte, and the console shows each character it can.

// Appends the code point's UTF-8 bytes; false (nothing appended) for a value
// that is no character (a surrogate half, or above U+10FFFF).
bool appendUtf8(std::string& text, uint32_t codePoint);

// Where the last character of text starts (text.size() when empty): a
// backspace removes from there.
size_t lastCharacterStart(const std::string& text);

// The code points of text. A byte that does not begin a well-formed sequence
// stands for itself as invalidCodePoint, so every byte is accounted for.
constexpr uint32_t invalidCodePoint = 0xFFFFFFFFu;
std::vector<uint32_t> decodeUtf8(const std::string& text);
