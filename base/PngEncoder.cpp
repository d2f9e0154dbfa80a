#include "base/PngEncoder.h"

#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void noFlush(png_structp) {}

// libpng reports a failure by jumping back here; nothing with a destructor
// lives in this frame.
bool encodeRows(png_structp png, png_infop info, int width, int height, const unsigned char* rgba, std::string* bytes,
                int level)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, bytes, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, level);
    png_write_info(png, info);
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba + size_t(y) * row);
    png_write_end(png, info);
    return true;
}

} // namespace

bool encodePng(int width, int height, const unsigned char* rgba, std::string& bytes, int level)
{
    bytes.clear();
    if (width <= 0 || height <= 0 || !rgba)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = info && encodeRows(png, info, width, height, rgba, &bytes, level);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok)
        bytes.clear();
    return ok;
}
