#include "text/GlyphPacker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

PackGlyph glyph(int index, int w, int h)
{
    return {index, w, h, 0, 0, 0, -1, -1};
}

// The atlas sides tried, in order.
std::vector<int> sideSeries(long long area, int count)
{
    std::vector<int> sides;
    float factor = 1.05f;
    for (int k = 0; k < count; ++k, factor += 0.05f)
        sides.push_back(int(std::sqrt(float(area) * factor)));
    return sides;
}

void expectValidLayout(const std::vector<PackGlyph>& glyphs, int side)
{
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const PackGlyph& a = glyphs[i];
        EXPECT_GE(a.x, 0);
        EXPECT_GE(a.y, 0);
        EXPECT_LE(a.x + a.width, side) << "glyph " << a.index;
        EXPECT_LE(a.y + a.height, side) << "glyph " << a.index;
        if (i > 0) {
            EXPECT_LT(glyphs[i - 1].index, a.index);
        }
        for (size_t j = i + 1; j < glyphs.size(); ++j) {
            const PackGlyph& b = glyphs[j];
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                               a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart || a.width * a.height == 0 || b.width * b.height == 0)
                << "glyphs " << a.index << " and " << b.index << " overlap";
        }
    }
}

}  // namespace

TEST(GlyphPacker, FourSquaresTileTheFirstSize)
{
    std::vector<PackGlyph> g{glyph(3, 2, 2), glyph(1, 2, 2), glyph(0, 2, 2), glyph(2, 2, 2)};
    EXPECT_EQ(packGlyphs(g), 4);  // (int)sqrt(16 * 1.05)
    // Equal areas keep their order (3, 1, 0, 2) while packing.
    EXPECT_EQ(g[3].x, 0); EXPECT_EQ(g[3].y, 0);
    EXPECT_EQ(g[1].x, 2); EXPECT_EQ(g[1].y, 0);
    EXPECT_EQ(g[0].x, 0); EXPECT_EQ(g[0].y, 2);
    EXPECT_EQ(g[2].x, 2); EXPECT_EQ(g[2].y, 2);
}

TEST(GlyphPacker, LongGlyphWaitsForTheFirstSideItFitsIn)
{
    // One 10 x 1 glyph fits exactly when the side reaches 10.
    std::vector<PackGlyph> g{glyph(0, 10, 1)};
    const int side = packGlyphs(g);
    int expected = 0;
    for (int s : sideSeries(10, 1000))
        if (s >= 10) {
            expected = s;
            break;
        }
    EXPECT_EQ(side, expected);
    EXPECT_EQ(g[0].x, 0);
    EXPECT_EQ(g[0].y, 0);
}

TEST(GlyphPacker, MixedGlyphsTakeTheFirstFittingSideWithoutOverlap)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> dim(0, 12);
    std::vector<PackGlyph> g;
    long long area = 0;
    for (int i = 0; i < 300; ++i) {
        // Some glyphs have no pixels, like the space.
        const int w = i % 17 == 0 ? 0 : dim(rng), h = i % 17 == 0 ? 0 : dim(rng);
        g.push_back(glyph(299 - i, w, h));
        area += w * h;
    }
    std::vector<PackGlyph> sorted = g;
    std::stable_sort(sorted.begin(), sorted.end(), [](const PackGlyph& a, const PackGlyph& b) {
        return a.width * a.height > b.width * b.height;
    });

    const int side = packGlyphs(g);
    ASSERT_EQ(g.size(), 300u);
    expectValidLayout(g, side);

    int firstFit = 0, failedTries = 0;
    for (int s : sideSeries(area, 1000)) {
        std::vector<PackGlyph> attempt = sorted;
        if (packGlyphsInto(attempt, s) == int(attempt.size())) {
            firstFit = s;
            break;
        }
        ++failedTries;
    }
    EXPECT_EQ(side, firstFit);
    EXPECT_GT(failedTries, 0) << "the search should have been exercised";
}

TEST(GlyphPacker, NoPixelsGiveASideOfOne)
{
    std::vector<PackGlyph> none;
    EXPECT_EQ(packGlyphs(none), 1);

    std::vector<PackGlyph> blanks{glyph(2, 0, 0), glyph(0, 0, 0), glyph(1, 0, 0)};
    EXPECT_EQ(packGlyphs(blanks), 1);
    expectValidLayout(blanks, 1);
}
