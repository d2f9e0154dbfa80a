// Pictures of the start scene with the inner core cut, as files: the
// anti-aliased PNG keeps the window's lines and hatching, the transparent one
// drops only the background, and the SVG and PDF, rasterised by rsvg-convert
// and pdftoppm, match the anti-aliased PNG.
//
// Set TORV_PICTURE_DIR to a directory to keep the files.
#include "app/WindowPicture.h"
#include "scene/MeshInstance.h"
#include "support/AppHarness.h"
#include "support/Rasterised.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

constexpr int size = 200;

struct Difference {
    double mean = 0;  // per channel, 0 to 255
    double share = 0; // of pixels with a channel off by more than 51 (20 %)
};

Difference difference(const RgbaImage& a, const RgbaImage& b)
{
    Difference d;
    int far = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            int most = 0;
            for (int c = 0; c < 3; ++c) {
                const int diff = std::abs(a.at(x, y)[c] - b.at(x, y)[c]);
                d.mean += diff;
                most = std::max(most, diff);
            }
            far += most > 51;
        }
    d.mean /= 3.0 * a.width * a.height;
    d.share = double(far) / (a.width * a.height);
    return d;
}

RgbaImage fromShot(const Shot& s)
{
    RgbaImage img;
    img.width = s.width;
    img.height = s.height;
    for (const Rgba& p : s.color)
        img.rgba.insert(img.rgba.end(), {p.r, p.g, p.b, 255});
    return img;
}

} // namespace

TEST(PictureOutput, SmoothTransparentAndVectorPicturesOfTheCutGlobe)
{
    const char* keep = std::getenv("TORV_PICTURE_DIR");
    const std::string dir = keep ? keep : makeTempDir();
    AppHarness h("scenes/s_test.sce", size, size);
    ASSERT_TRUE(h.started());
    h.app().selectInstance(h.placed(3));
    h.frames(2);
    const RgbaImage window = fromShot(h.capture());

    auto write = [&](const std::string& name, int antialias, bool transparent) {
        PictureRequest request;
        request.width = request.height = size;
        request.antialias = antialias;
        request.transparent = transparent;
        std::string reason;
        EXPECT_TRUE(writeWindowPicture(h.app(), dir + "/" + name, request, reason)) << name << ": " << reason;
    };
    write("smooth.png", 4, false);
    write("clear.png", 4, true);
    write("globe.svg", 1, false);
    write("globe.pdf", 1, false);

    RgbaImage smooth, clear;
    ASSERT_TRUE(smooth.load(dir + "/smooth.png"));
    ASSERT_TRUE(clear.load(dir + "/clear.png"));
    ASSERT_EQ(smooth.width, size);
    // The same picture as the window's, its edges smoothed: lines as wide
    // and hatching as fine as there (lines a quarter as wide give 3.3 and
    // 3.8 %).
    const Difference fromWindow = difference(smooth, window);
    EXPECT_LT(fromWindow.mean, 2.5);
    EXPECT_LT(fromWindow.share, 0.025);

    // Transparent: the background's corner and nothing else.
    EXPECT_EQ(clear.at(2, 2)[3], 0);
    EXPECT_EQ(clear.at(size / 2, size / 2)[3], 255);
    const uint8_t* a = clear.at(size / 2, size / 2);
    const uint8_t* b = smooth.at(size / 2, size / 2);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 3), std::vector<uint8_t>(b, b + 3));

    // The drawings against the smooth PNG: a mean under 2 levels of 255 and
    // under 2 % of pixels off by more than a fifth (edges the tracer rounds,
    // gradients it draws in steps, pdftoppm's coarser edge coverage).
    for (const char* name : {"globe.svg", "globe.pdf"}) {
        SCOPED_TRACE(name);
        const std::string png = dir + "/" + name + ".png";
        ASSERT_TRUE(rasterise(dir + "/" + name, size, size, png));
        RgbaImage drawn;
        ASSERT_TRUE(drawn.load(png));
        ASSERT_EQ(drawn.width, size);
        const Difference d = difference(drawn, smooth);
        EXPECT_LT(d.mean, 2.0);
        EXPECT_LT(d.share, 0.02);
    }

    EXPECT_TRUE(wellFormedXml(dir + "/globe.svg"));
    std::ifstream in(dir + "/globe.svg");
    std::stringstream svg;
    svg << in.rdbuf();
    for (const char* group : {"globe_crust.obj", "globe_inner_core.glb", "moon.ply", "lines"})
        EXPECT_NE(svg.str().find("<g id=\"" + std::string(group) + "\">"), std::string::npos) << group;
}
