#include "support/GLTestSupport.h"
#include "text/Font.h"
#include "text/GlyphPacker.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class FontTest : public GLTest {};

std::vector<unsigned char> readAtlas(const FontFace& f)
{
    std::vector<unsigned char> texels(size_t(f.atlasWidth) * size_t(f.atlasHeight), 0xAB);
    glBindTexture(GL_TEXTURE_2D, f.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

} // namespace

TEST_F(FontTest, AtlasIsTheFirstSideThatHoldsEveryGlyph)
{
    Font font;
    ASSERT_TRUE(font.loadFace("Lucida", Font::shippedFontPath));
    FontFace* f = font.face("Lucida");
    ASSERT_NE(f, nullptr);
    ASSERT_GT(f->glyphs.size(), 1000u);
    EXPECT_EQ(f->pixelHeight, 14);
    EXPECT_EQ(f->atlasWidth, f->atlasHeight);
    EXPECT_TRUE(std::is_sorted(f->glyphs.begin(), f->glyphs.end(),
                               [](const Glyph& a, const Glyph& b) { return a.index < b.index; }));

    // Re-derive the side from the metrics: biggest first, the series of
    // sides grows until one attempt places them all.
    std::vector<PackGlyph> order;
    long long area = 0;
    for (const Glyph& g : f->glyphs) {
        order.push_back({g.index, g.width, g.height, g.bearingX, g.bearingY, g.advance, 0, 0});
        area += (long long)g.width * g.height;
    }
    std::stable_sort(order.begin(), order.end(), [](const PackGlyph& a, const PackGlyph& b) {
        return a.width * a.height > b.width * b.height;
    });
    int side = 0;
    for (float factor = 1.05f; side == 0; factor += 0.05f) {
        const int candidate = int(std::sqrt(float(area) * factor));
        std::vector<PackGlyph> attempt = order;
        if (packGlyphsInto(attempt, candidate) == int(attempt.size()))
            side = candidate;
    }
    EXPECT_EQ(f->atlasWidth, side);

    // Rectangles lie inside and never share a texel; everything outside
    // them is 0.
    std::vector<unsigned char> owner(size_t(side) * side, 0);
    for (const Glyph& g : f->glyphs) {
        ASSERT_GE(g.x, 0);
        ASSERT_GE(g.y, 0);
        ASSERT_LE(g.x + g.width, side) << g.index;
        ASSERT_LE(g.y + g.height, side) << g.index;
        for (int r = 0; r < g.height; ++r)
            for (int c = 0; c < g.width; ++c)
                ASSERT_EQ(owner[size_t(g.y + r) * side + g.x + c]++, 0) << "overlap at glyph " << g.index;
    }
    const std::vector<unsigned char> texels = readAtlas(*f);
    size_t strayTexels = 0, inked = 0;
    for (size_t i = 0; i < texels.size(); ++i) {
        strayTexels += !owner[i] && texels[i] != 0;
        inked += owner[i] && texels[i] != 0;
    }
    EXPECT_EQ(strayTexels, 0u);
    EXPECT_GT(inked, 10000u);

    // The atlas holds FreeType's own rendering of a glyph, row for row.
    const FT_UInt gi = FT_Get_Char_Index(f->face, 'R');
    const Glyph* g = f->glyph(int(gi));
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(FT_Load_Glyph(f->face, gi, FT_LOAD_RENDER), 0);
    const FT_Bitmap& bm = f->face->glyph->bitmap;
    ASSERT_GT(bm.pitch, 0);
    int compared = 0;
    for (int r = 0; r < std::min(int(bm.rows), g->height); ++r)
        for (int c = 0; c < std::min(int(bm.width), g->width); ++c, ++compared)
            ASSERT_EQ(texels[size_t(g->y + r) * side + g->x + c], bm.buffer[r * bm.pitch + c]) << r << "," << c;
    EXPECT_GT(compared, 40);

    // Whole pixels, not 26.6 units: a monospaced face at 14 px advances
    // every character by the same few pixels.
    const Glyph* m = f->glyph(int(FT_Get_Char_Index(f->face, 'M')));
    const Glyph* i = f->glyph(int(FT_Get_Char_Index(f->face, 'i')));
    ASSERT_TRUE(m && i);
    EXPECT_EQ(m->advance, i->advance);
    EXPECT_GE(m->advance, 6);
    EXPECT_LE(m->advance, 10);
    EXPECT_GE(g->height, 8);
    EXPECT_LE(g->height, 14);
}

TEST_F(FontTest, LoadingANameAgainReplacesItsFace)
{
    const fs::path copy = fs::path(testing::TempDir()) / "torv-font-copy.ttf";
    fs::copy_file(Font::shippedFontPath, copy, fs::copy_options::overwrite_existing);

    Font font;
    ASSERT_TRUE(font.loadFace("Lucida", Font::shippedFontPath));
    FontFace* first = font.face("Lucida");
    const GLuint oldTexture = first->texture;

    ASSERT_TRUE(font.loadFace("Lucida", copy.string()));
    EXPECT_EQ(font.faces.size(), 1u);
    // Texts keep pointing at the entry, which now holds the second atlas.
    EXPECT_EQ(font.face("Lucida"), first);
    EXPECT_EQ(first->path, copy.string());
    EXPECT_NE(first->texture, oldTexture);
    EXPECT_FALSE(glIsTexture(oldTexture)) << "the first atlas is released";
    EXPECT_TRUE(glIsTexture(first->texture));
}

TEST_F(FontTest, MissingFilesAndFallback)
{
    Font font;
    const struct {
        const char* path;
        const char* fallback; // null: plain loadFace
        bool loads;
        const char* output;
    } cases[] = {
        {"fonts/missing.ttf", nullptr, false, "ERR: Could not load font face\n"},
        {"shaders/fontshader.vert", nullptr, false, "ERR: Could not load font face\n"},
        {"fonts/missing.ttf", "fonts/missing-too.ttf", false, "ERR: Could not load font face\n"},
        // The viewer's own font is not shipped: falling back is quiet.
        {"fonts/LucidaSansTypewriter.ttf", Font::shippedFontPath, true, ""},
    };
    for (const auto& c : cases) {
        font.faces.clear();
        testing::internal::CaptureStdout();
        const bool loaded = c.fallback ? font.loadFaceWithFallback("Lucida", c.path, c.fallback)
                                       : font.loadFace("Lucida", c.path);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output) << c.path;
        EXPECT_EQ(loaded, c.loads) << c.path;
        EXPECT_EQ(font.face("Lucida") != nullptr, c.loads) << c.path;
        EXPECT_EQ(font.faces.size(), c.loads ? 1u : 0u) << c.path;
    }
    ASSERT_NE(font.face("Lucida"), nullptr);
    EXPECT_EQ(font.face("Lucida")->path, Font::shippedFontPath);
    EXPECT_EQ(font.face("Other"), nullptr);
}
