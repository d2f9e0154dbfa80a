#include "text/Utf8.h"

bool appendUtf8(std::string& text, uint32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        text += char(0xC0 | (c >> 6));
        text += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += char(0xE0 | (c >> 12));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    } else {
        text += char(0xF0 | (c >> 18));
        text += char(0x80 | ((c >> 12) & 0x3F));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
    return true;
}

namespace {

// The code point of the well-formed sequence at text[at], and its length;
// length 0 when there is none.
uint32_t decodeAt(const std::string& text, size_t at, size_t& length)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    size_t n;
    uint32_t c, min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return invalidCodePoint;
    }
    if (text.size() - at < n)
        return invalidCodePoint;
    for (size_t i = 1; i < n; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return invalidCodePoint;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return invalidCodePoint;
    length = n;
    return c;
}

} // namespace

size_t lastCharacterStart(const std::string& text)
{
    if (text.empty())
        return 0;
    // A well-formed sequence ending at the end goes whole; else one byte.
    for (size_t back = 2; back <= 4 && back <= text.size(); ++back) {
        size_t length;
        decodeAt(text, text.size() - back, length);
        if (length == back)
            return text.size() - back;
    }
    return text.size() - 1;
}

std::vector<uint32_t> decodeUtf8(const std::string& text)
{
    std::vector<uint32_t> codes;
    codes.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        size_t length;
        const uint32_t c = decodeAt(text, at, length);
        codes.push_back(c);
        at += length > 0 ? length : 1;
    }
    return codes;
}
