// xpicture: the end-to-end tests' screenshots and picture checks in one small
// program. The tests poll the screen hundreds of times a session: a check
// here takes milliseconds, where a general image program takes a tenth of a
// second of the processors the viewers draw with.
//
//   xpicture shot WINDOW FILE            the window's contents as a PNG file
//   xpicture lit FILE                    status 0 when any pixel is not black
//   xpicture differ A B [FUZZ [X0 Y0 X1 Y1]]
//                                        pixels of A and B (in the rectangle) whose
//                                        colours differ by more than FUZZ percent
//                                        (default 10); B may be "white"
//   xpicture count FILE X0 Y0 X1 Y1 KIND pixels of a kind inside the rectangle:
//                                        dark, red, deepred, orange
//   xpicture pixels FILE [X0 Y0 X1 Y1]   "r g b", a line a pixel, row by row
//   xpicture crop FILE X0 Y0 X1 Y1 OUT   the rectangle as a picture of its own
//   xpicture box FILE [FUZZ]             "W H X Y": the box around every pixel that
//                                        differs from the top left one by more than
//                                        FUZZ percent (default 3)
//   xpicture size FILE                   "WxH"
//
// Rectangles are X0 <= x < X1, Y0 <= y < Y1, clipped to the picture.
// Status 2 and one line on standard error when something cannot be done.

#include "base/PngEncoder.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 3 bytes a pixel, rows top first

    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// The screenshots live for one test: compressed quickly, not small.
constexpr int quickLevel = 1;

[[noreturn]] void stop(const std::string& why)
{
    std::fprintf(stderr, "xpicture: %s\n", why.c_str());
    std::exit(2);
}

// Read row by row straight into the picture: the tests read hundreds of
// screenshots, and every extra copy of one costs page faults.
bool readRows(png_structp png, png_infop info, FILE* file, Picture& p)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    p.width = int(png_get_image_width(png, info));
    p.height = int(png_get_image_height(png, info));
    if (png_get_rowbytes(png, info) != size_t(p.width) * 3)
        return false;
    p.rgb.resize(size_t(p.width) * p.height * 3);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
        for (int y = 0; y < p.height; ++y)
            png_read_row(png, &p.rgb[size_t(y) * p.width * 3], nullptr);
    png_read_end(png, nullptr);
    return true;
}

Picture readPicture(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        stop("cannot read " + path + ": " + std::strerror(errno));
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Picture p;
    const bool ok = info && readRows(png, info, file, p);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    std::fclose(file);
    if (!ok)
        stop("cannot read " + path + ": not a PNG picture");
    return p;
}

bool writeFile(const std::string& bytes, const std::string& path);

bool writePicture(const Picture& p, const std::string& path)
{
    std::vector<unsigned char> rgba(size_t(p.width) * p.height * 4);
    for (size_t i = 0, n = size_t(p.width) * p.height; i < n; ++i) {
        std::memcpy(&rgba[i * 4], &p.rgb[i * 3], 3);
        rgba[i * 4 + 3] = 255;
    }
    std::string bytes;
    return encodePng(p.width, p.height, rgba.data(), bytes, quickLevel) && writeFile(bytes, path);
}

bool xFailed = false;
int noteXError(Display*, XErrorEvent*)
{
    xFailed = true;
    return 0;
}

// The window's image through shared memory (no copy through the socket), or
// null where the server cannot share it.
XImage* sharedImage(Display* display, Window window, const XWindowAttributes& a, XShmSegmentInfo& segment)
{
    if (!XShmQueryExtension(display))
        return nullptr;
    XImage* image = XShmCreateImage(display, a.visual, unsigned(a.depth), ZPixmap, nullptr, &segment,
                                    unsigned(a.width), unsigned(a.height));
    if (!image)
        return nullptr;
    segment.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
    if (segment.shmid < 0) {
        XDestroyImage(image);
        return nullptr;
    }
    segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    // Removed once both sides let go of it, whatever happens below.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    segment.readOnly = False;
    if (segment.shmaddr == reinterpret_cast<char*>(-1)) {
        image->data = nullptr;
        XDestroyImage(image);
        return nullptr;
    }
    xFailed = false;
    const bool attached = XShmAttach(display, &segment);
    XSync(display, False);
    if (attached && !xFailed && XShmGetImage(display, window, image, 0, 0, AllPlanes)) {
        XSync(display, False);
        if (!xFailed)
            return image;
    }
    if (attached)
        XShmDetach(display, &segment);
    XDestroyImage(image);
    shmdt(segment.shmaddr);
    return nullptr;
}

unsigned char channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return static_cast<unsigned char>(((pixel >> shift) & mask) * 255 / mask);
}

// The image's pixels as RGBA rows. The usual 32-bit layout (blue, green, red,
// pad in memory) is turned round in place; anything else goes pixel by pixel.
unsigned char* rgbaPixels(XImage* image, std::vector<unsigned char>& other)
{
    const bool usual = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                       image->bytes_per_line == image->width * 4 && image->red_mask == 0xff0000 &&
                       image->green_mask == 0xff00 && image->blue_mask == 0xff;
    if (usual) {
        unsigned char* p = reinterpret_cast<unsigned char*>(image->data);
        for (size_t i = 0, n = size_t(image->width) * image->height; i < n; ++i, p += 4) {
            std::swap(p[0], p[2]);
            p[3] = 255;
        }
        return reinterpret_cast<unsigned char*>(image->data);
    }
    other.resize(size_t(image->width) * image->height * 4);
    unsigned char* out = other.data();
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            *out++ = channel(pixel, image->red_mask);
            *out++ = channel(pixel, image->green_mask);
            *out++ = channel(pixel, image->blue_mask);
            *out++ = 255;
        }
    return other.data();
}

bool writeFile(const std::string& bytes, const std::string& path)
{
    // Written beside the target and renamed: a test polling the file never
    // reads half of one.
    const std::string temporary = path + ".part";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// The window's pixels as the X server holds them (Xvfb keeps every window's
// contents, so nothing covering it matters), as a PNG file. 1 when the
// window cannot be read (gone or not shown), 2 when the file cannot be written.
int shotWindow(const char* id, const std::string& path)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    XSetErrorHandler(noteXError);
    const Window window = Window(std::strtoul(id, nullptr, 0));
    XWindowAttributes attributes;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool shared = false;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) {
        image = sharedImage(display, window, attributes, segment);
        shared = image != nullptr;
        if (!image)
            image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                              AllPlanes, ZPixmap);
    }
    if (!image) {
        XCloseDisplay(display);
        return 1;
    }
    std::vector<unsigned char> other;
    std::string bytes;
    const bool encoded = encodePng(image->width, image->height, rgbaPixels(image, other), bytes, quickLevel);
    if (shared)
        XShmDetach(display, &segment);
    XDestroyImage(image);
    if (shared)
        shmdt(segment.shmaddr);
    XCloseDisplay(display);
    return encoded && writeFile(bytes, path) ? 0 : 2;
}

// Two colours differ when any channel differs by more than the fuzz (a
// fraction of the largest value): the rule of ImageMagick's "compare -metric
// AE", which these checks' thresholds were first measured with.
bool differs(const unsigned char* a, const unsigned char* b, double fuzz)
{
    for (int c = 0; c < 3; ++c)
        if (std::abs(int(a[c]) - int(b[c])) > fuzz * 255.0)
            return true;
    return false;
}

// The colour distance of ImageMagick's -fuzz for -trim: the root mean square
// of the channel differences.
bool apart(const unsigned char* a, const unsigned char* b, double fuzz)
{
    double sum = 0;
    for (int c = 0; c < 3; ++c) {
        const double d = (double(a[c]) - double(b[c])) / 255.0;
        sum += d * d;
    }
    return std::sqrt(sum / 3.0) > fuzz;
}

double fuzzArgument(int argc, char** argv, int index, double percent)
{
    if (argc > index)
        percent = std::atof(argv[index]);
    return percent / 100.0;
}

struct Rect {
    int x0, y0, x1, y1;
};

Rect rectArguments(const Picture& p, char** argv)
{
    Rect r{std::atoi(argv[0]), std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    r.x0 = std::clamp(r.x0, 0, p.width);
    r.x1 = std::clamp(r.x1, r.x0, p.width);
    r.y0 = std::clamp(r.y0, 0, p.height);
    r.y1 = std::clamp(r.y1, r.y0, p.height);
    return r;
}

using PixelTest = std::function<bool(int r, int g, int b)>;

PixelTest kindTest(const std::string& kind)
{
    if (kind == "dark")
        return [](int r, int g, int b) { return r < 80 && g < 80 && b < 80; };
    if (kind == "red")
        return [](int r, int g, int b) { return r > 150 && r - g > 50 && r - b > 50; };
    if (kind == "deepred")
        return [](int r, int g, int b) { return r > 90 && r > 2 * g && r > 2 * b; };
    if (kind == "orange") // the selection outline
        return [](int r, int g, int b) { return r > 200 && g > 70 && g < 170 && b < 60; };
    stop("unknown kind of pixel " + kind);
}

int usage()
{
    std::fprintf(stderr, "usage: xpicture shot|lit|differ|count|pixels|crop|box|size ... (see the source)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    if (command == "shot" && argc == 4) {
        const int status = shotWindow(argv[2], argv[3]);
        if (status == 2)
            stop(std::string("cannot write ") + argv[3]);
        return status;
    }
    if (command == "differ" && argc >= 4) {
        const Picture a = readPicture(argv[2]);
        Picture b;
        if (std::string(argv[3]) == "white") {
            b.width = a.width;
            b.height = a.height;
            b.rgb.assign(a.rgb.size(), 255);
        } else {
            b = readPicture(argv[3]);
        }
        if (a.width != b.width || a.height != b.height)
            stop(std::string("the pictures differ in size: ") + argv[2] + ", " + argv[3]);
        const double fuzz = fuzzArgument(argc, argv, 4, 10);
        const Rect r = argc == 9 ? rectArguments(a, argv + 5) : Rect{0, 0, a.width, a.height};
        long n = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                n += differs(a.at(x, y), b.at(x, y), fuzz);
        std::printf("%ld\n", n);
        return 0;
    }
    const Picture p = readPicture(argv[2]);
    if (command == "lit") {
        return std::any_of(p.rgb.begin(), p.rgb.end(), [](unsigned char c) { return c != 0; }) ? 0 : 1;
    }
    if (command == "size") {
        std::printf("%dx%d\n", p.width, p.height);
        return 0;
    }
    if (command == "box") {
        const double fuzz = fuzzArgument(argc, argv, 3, 3);
        int x0 = p.width, y0 = p.height, x1 = -1, y1 = -1;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (apart(p.at(x, y), p.at(0, 0), fuzz)) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
        if (x1 < 0) // nothing but background
            std::printf("0 0 0 0\n");
        else
            std::printf("%d %d %d %d\n", x1 - x0 + 1, y1 - y0 + 1, x0, y0);
        return 0;
    }
    if (command == "pixels" && (argc == 3 || argc == 7)) {
        const Rect r = argc == 7 ? rectArguments(p, argv + 3) : Rect{0, 0, p.width, p.height};
        std::string lines;
        char line[16];
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x) {
                const unsigned char* c = p.at(x, y);
                lines.append(line, size_t(std::snprintf(line, sizeof line, "%d %d %d\n", c[0], c[1], c[2])));
            }
        std::fwrite(lines.data(), 1, lines.size(), stdout);
        return 0;
    }
    if (command == "count" && argc == 8) {
        const Rect r = rectArguments(p, argv + 3);
        const PixelTest test = kindTest(argv[7]);
        long n = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x) {
                const unsigned char* c = p.at(x, y);
                n += test(c[0], c[1], c[2]);
            }
        std::printf("%ld\n", n);
        return 0;
    }
    if (command == "crop" && argc == 8) {
        const Rect r = rectArguments(p, argv + 3);
        Picture out;
        out.width = r.x1 - r.x0;
        out.height = r.y1 - r.y0;
        if (out.width == 0 || out.height == 0)
            stop("the rectangle lies outside the picture");
        for (int y = r.y0; y < r.y1; ++y)
            out.rgb.insert(out.rgb.end(), p.at(r.x0, y), p.at(r.x0, y) + size_t(out.width) * 3);
        if (!writePicture(out, argv[7]))
            stop(std::string("cannot write ") + argv[7]);
        return 0;
    }
    return usage();
}
