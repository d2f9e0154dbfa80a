// Filtering a picture rendered k times larger down to its size, on white and
// with a transparent background.
#include "render/PictureFilter.h"

#include <gtest/gtest.h>

namespace {

// 4 x 2 samples, k = 2: the left pixel is half an orange object on white,
// the right one a full line on the background over white, and white.
RenderedPicture samples()
{
    RenderedPicture p;
    p.width = 4;
    p.height = 2;
    const uint8_t white[4] = {255, 255, 255, 255}, orange[4] = {200, 100, 0, 255}, line[4] = {20, 20, 20, 255};
    const uint8_t* pixels[8] = {orange, white, line, white, orange, white, line, white};
    for (const uint8_t* c : pixels)
        p.rgba.insert(p.rgba.end(), c, c + 4);
    p.ids = {5, 0, 0, 0, 5, 0, 0, 0};
    p.lines = {0, 0, 255, 0, 0, 0, 255, 0};
    return p;
}

TEST(PictureFilter, MeanOnWhiteAndCoverageWithoutIt)
{
    const std::vector<uint8_t> opaque = filterPicture(samples(), 2, false);
    ASSERT_EQ(opaque.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(opaque.begin(), opaque.begin() + 4), (std::vector<uint8_t>{228, 178, 128, 255}));
    EXPECT_EQ(std::vector<uint8_t>(opaque.begin() + 4, opaque.end()), (std::vector<uint8_t>{138, 138, 138, 255}));

    // Half covered: the object's and the line's own colours at half alpha,
    // no white mixed in.
    const std::vector<uint8_t> clear = filterPicture(samples(), 2, true);
    ASSERT_EQ(clear.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(clear.begin(), clear.begin() + 4), (std::vector<uint8_t>{200, 100, 0, 128}));
    EXPECT_EQ(std::vector<uint8_t>(clear.begin() + 4, clear.end()), (std::vector<uint8_t>{20, 20, 20, 128}));

    // Nothing at all: white, alpha 0. Sizes that k does not divide: nothing.
    RenderedPicture empty = samples();
    empty.ids.assign(8, 0);
    empty.lines.assign(8, 0);
    empty.rgba.assign(32, 255);
    const std::vector<uint8_t> none = filterPicture(empty, 2, true);
    EXPECT_EQ(std::vector<uint8_t>(none.begin(), none.begin() + 4), (std::vector<uint8_t>{255, 255, 255, 0}));
    EXPECT_TRUE(filterPicture(samples(), 3, false).empty());
}

} // namespace
