#include "text/GlyphPacker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

PackGlyph glyph(int index, int w, int h)
{
    return {index, w, h, 0, 0, 0, -1, -1};
}

// The first side of the atlas series at which `fits` holds.
template <typename Fits>
int firstFittingSide(long long area, Fits fits)
{
    float factor = 1.05f;
    for (;; factor += 0.05f) {
        const int side = int(std::sqrt(float(area) * factor));
        if (fits(side))
            return side;
    }
}

}  // namespace

TEST(GlyphPacker, FourSquaresTileTheFirstSide)
{
    std::vector<PackGlyph> g{glyph(3, 2, 2), glyph(1, 2, 2), glyph(0, 2, 2), glyph(2, 2, 2)};
    EXPECT_EQ(packGlyphs(g), 4);
    // Equal areas are placed in the order given: 3, 1, 0, 2.
    const int expected[4][2] = {{0, 2}, {2, 0}, {2, 2}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g[i].index, i);
        EXPECT_EQ(g[i].x, expected[i][0]);
        EXPECT_EQ(g[i].y, expected[i][1]);
    }
}

TEST(GlyphPacker, SideIsTheFirstOfTheSeriesThatHoldsEverything)
{
    std::vector<PackGlyph> one{glyph(0, 10, 1)};
    EXPECT_EQ(packGlyphs(one), firstFittingSide(10, [](int s) { return s >= 10; }));

    std::mt19937 rng(7);
    std::uniform_int_distribution<int> dim(0, 12);
    std::vector<PackGlyph> g;
    long long area = 0;
    for (int i = 0; i < 300; ++i) {
        const bool blank = i % 17 == 0;  // glyphs without pixels, like the space
        g.push_back(glyph(299 - i, blank ? 0 : dim(rng), blank ? 0 : dim(rng)));
        area += g.back().width * g.back().height;
    }
    std::vector<PackGlyph> bySize = g;
    std::stable_sort(bySize.begin(), bySize.end(), [](const PackGlyph& a, const PackGlyph& b) {
        return a.width * a.height > b.width * b.height;
    });
    const int expected = firstFittingSide(area, [&](int s) {
        std::vector<PackGlyph> attempt = bySize;
        return packGlyphsInto(attempt, s) == int(attempt.size());
    });
    ASSERT_GT(expected, int(std::sqrt(area * 1.05f))) << "the search should need a second try";

    const int side = packGlyphs(g);
    EXPECT_EQ(side, expected);
    for (size_t i = 0; i < g.size(); ++i) {
        const PackGlyph& a = g[i];
        EXPECT_EQ(a.index, int(i));
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= side && a.y + a.height <= side) << a.index;
        for (size_t j = i + 1; j < g.size(); ++j) {
            const PackGlyph& b = g[j];
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                               a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart || a.width * a.height == 0 || b.width * b.height == 0)
                << a.index << " overlaps " << b.index;
        }
    }
}

TEST(GlyphPacker, NoPixelsGiveASideOfOne)
{
    std::vector<PackGlyph> none;
    EXPECT_EQ(packGlyphs(none), 1);
    std::vector<PackGlyph> blanks{glyph(2, 0, 0), glyph(0, 0, 0), glyph(1, 0, 0)};
    EXPECT_EQ(packGlyphs(blanks), 1);
    for (const PackGlyph& b : blanks)
        EXPECT_TRUE(b.x >= 0 && b.x <= 1 && b.y >= 0 && b.y <= 1);
}
