#include "geometry/Mesh.h"
#include "math/Camera.h"
#include "scene/Scene.h"
#include "support/GLTestSupport.h"
#include "text/Font.h"
#include "text/Text.h"

#include <algorithm>

namespace {

class TextTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        camera = std::make_unique<Camera>(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(0, 0, 0), 800, 800, 0.1f, 1000.0f,
                                          70.0f);
        scene = std::make_unique<Scene>();
        scene->camera = camera.get();
        font = std::make_unique<Font>();
        ASSERT_TRUE(font->loadFace("Lucida", Font::shippedFontPath));
        face = font->face("Lucida");
    }
    void TearDown() override
    {
        scene.reset();
        font.reset();
        GLTest::TearDown();
    }

    std::unique_ptr<Text> makeText(const std::string& s)
    {
        auto t = std::make_unique<Text>();
        t->fontFace = face;
        t->scene = scene.get();
        t->shader = &font->shader;
        t->setText(s);
        return t;
    }
    const Glyph& glyphOf(uint32_t c) const
    {
        const Glyph* g = face->glyph(int(FT_Get_Char_Index(face->face, FT_ULong(c))));
        EXPECT_NE(g, nullptr) << c;
        return *g;
    }

    std::unique_ptr<Camera> camera;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<Font> font;
    FontFace* face = nullptr;
};

// Left, right, top, bottom of quad q and the (u, v) of its first vertex.
struct Quad {
    float left, right, top, bottom, u, v;
};
Quad quad(const Mesh& m, int q)
{
    const float* p = &m.positions[size_t(q) * 12];
    const float* t = &m.texCoords[size_t(q) * 8];
    return {p[0], p[6], p[1], p[4], t[0], t[1]};
}

int darkPixels(int x0, int y0, int x1, int y1)
{
    std::vector<unsigned char> rgba(size_t(x1 - x0) * (y1 - y0) * 4);
    glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int n = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        n += rgba[i] < 128;
    return n;
}

} // namespace

TEST_F(TextTest, TwoLettersMakeTwoQuadsAlongThePen)
{
    auto t = makeText("ab");
    const Mesh& m = *t->mesh;
    EXPECT_EQ(m.vertexCount, 8);
    ASSERT_EQ(m.indexCount, 14);
    const std::vector<uint32_t> expected = {0, 1, 2, 2, 1, 3, Mesh::restartIndex,
                                            4, 5, 6, 6, 5, 7, Mesh::restartIndex};
    EXPECT_EQ(m.indices, expected);

    const Glyph& a = glyphOf('a');
    const Glyph& b = glyphOf('b');
    const Quad qa = quad(m, 0), qb = quad(m, 1);
    EXPECT_EQ(qa.left, float(a.bearingX));
    EXPECT_EQ(qb.left, float(a.advance + b.bearingX));
    EXPECT_EQ(qb.right - qb.left, float(b.width));
    EXPECT_EQ(qb.top, float(b.bearingY));
    EXPECT_EQ(qb.bottom, float(b.bearingY - b.height));
    // Top vertices sample the glyph's first atlas row.
    EXPECT_FLOAT_EQ(qb.u, float(b.x) / float(face->atlasWidth));
    EXPECT_FLOAT_EQ(qb.v, float(b.y) / float(face->atlasHeight));
    EXPECT_FLOAT_EQ(m.texCoords[8 + 3], float(b.y + b.height) / float(face->atlasHeight));
}

TEST_F(TextTest, EmptySpaceAndHighBytes)
{
    auto empty = makeText("");
    EXPECT_EQ(empty->mesh->vertexCount, 0);
    EXPECT_EQ(empty->mesh->indexCount, -1) << "no index list";
    empty->draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // A space has no pixels but moves the pen; 0x80 and up are negative
    // codes, which the face maps to glyph 0.
    auto t = makeText(std::string(" \x80\xff", 3));
    const Glyph& space = glyphOf(' ');
    const Glyph* missing = face->glyph(0);
    ASSERT_NE(missing, nullptr);
    ASSERT_GT(missing->width, 0);
    const Quad q0 = quad(*t->mesh, 0), q1 = quad(*t->mesh, 1), q2 = quad(*t->mesh, 2);
    EXPECT_EQ(q0.right - q0.left, 0.0f);
    EXPECT_EQ(q1.left, float(space.advance + missing->bearingX));
    EXPECT_EQ(q1.right - q1.left, float(missing->width));
    EXPECT_FLOAT_EQ(q1.u, float(missing->x) / float(face->atlasWidth));
    EXPECT_EQ(q2.left, float(space.advance + missing->advance + missing->bearingX));
}

// Text is UTF-8: one quad per character, with that character's glyph; a
// character the face lacks shows the missing-glyph shape, not another one.
TEST_F(TextTest, CharactersBeyondAsciiKeepTheirGlyphs)
{
    auto t = makeText("a\xc4\xa0\xe2\x81\xb0\xf0\x9f\x82\xa1"); // a, U+0120, U+2070, U+1F0A1
    ASSERT_EQ(t->mesh->vertexCount, 16);
    const Glyph& a = glyphOf('a');
    const Glyph& gdot = glyphOf(0x120);
    const Quad q1 = quad(*t->mesh, 1);
    EXPECT_EQ(q1.left, float(a.advance + gdot.bearingX));
    EXPECT_FLOAT_EQ(q1.u, float(gdot.x) / float(face->atlasWidth));
    EXPECT_NE(gdot.index, glyphOf(' ').index) << "U+0120 is not its low byte, a space";
    const Glyph& expected2 = FT_Get_Char_Index(face->face, 0x2070) ? glyphOf(0x2070) : *face->glyph(0);
    EXPECT_FLOAT_EQ(quad(*t->mesh, 2).u, float(expected2.x) / float(face->atlasWidth));
    EXPECT_NE(expected2.index, glyphOf('p').index);
}

TEST_F(TextTest, GlyphsTheFaceLacksDrawNothing)
{
    // Take 'b' out of the face as if it had failed to load: the array can no
    // longer be indexed by glyph index.
    const Glyph a = glyphOf('a');
    const int bIndex = int(FT_Get_Char_Index(face->face, 'b'));
    auto& glyphs = face->glyphs;
    glyphs.erase(std::remove_if(glyphs.begin(), glyphs.end(), [&](const Glyph& g) { return g.index == bIndex; }),
                 glyphs.end());

    auto t = makeText("ba");
    const Quad qb = quad(*t->mesh, 0), qa = quad(*t->mesh, 1);
    EXPECT_EQ(qb.right - qb.left, 0.0f);
    EXPECT_EQ(qb.top - qb.bottom, 0.0f);
    EXPECT_EQ(qa.left, float(a.bearingX)) << "a missing glyph does not move the pen";
    EXPECT_EQ(t->mesh->vertexCount, 8);

    // No face at all, or one without glyphs: zero-size quads, nothing drawn.
    FontFace bare;
    for (FontFace* f : {static_cast<FontFace*>(nullptr), &bare}) {
        Text none;
        none.fontFace = f;
        none.scene = scene.get();
        none.shader = &font->shader;
        none.draw(); // before any layout
        none.setText("abc");
        ASSERT_EQ(none.mesh->vertexCount, 12);
        EXPECT_TRUE(std::all_of(none.mesh->positions.begin(), none.mesh->positions.end(),
                                [](float v) { return v == 0.0f; }));
        none.draw();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextTest, DrawsUprightBlackTextAtItsPosition)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The window culls back faces; the quads must face the viewer.
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    auto t = makeText("TTTT");
    t->x = 100;
    t->y = 200;
    t->draw();
    // Moving needs no new layout.
    t->x = 500;
    t->draw();
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);

    const Glyph& tg = glyphOf('T');
    const int width = 4 * tg.advance;
    for (int x0 : {100, 500}) {
        // The bar of a T is at the top, its stem below: upside-down text
        // would swap the two rows' ink.
        const int barRow = 200 + tg.bearingY - 1;
        const int stemRow = 200 + 1;
        const int bar = darkPixels(x0, barRow, x0 + width, barRow + 1);
        const int stem = darkPixels(x0, stemRow, x0 + width, stemRow + 1);
        EXPECT_GE(bar, 4 * (tg.width - 2)) << x0;
        EXPECT_GT(stem, 0) << x0;
        EXPECT_LT(stem, bar / 2) << x0;
        EXPECT_EQ(darkPixels(x0 - 10, 200 - 10, x0 + width + 10, 200 - 3), 0) << "nothing below the baseline";
    }
    EXPECT_EQ(darkPixels(300, 300, 400, 400), 0);
}
