// The selection outline: traced around the selected object from the id
// image, fainter around the hovered one, and left out of pictures unless
// asked.
#include "scene/MeshInstance.h"
#include "support/AppHarness.h"
#include "support/TestScenes.h"

#include <stb/stb_image.h>

#include <filesystem>

namespace {

// A PNG's pixels, rows from the top (empty when it cannot be read).
std::vector<Rgba> readPng(const std::string& path)
{
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
    std::vector<Rgba> out;
    if (!data)
        return out;
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
        out.push_back({data[4 * i], data[4 * i + 1], data[4 * i + 2], data[4 * i + 3]});
    stbi_image_free(data);
    return out;
}

// The first pixel right of (x, y) that the object with this id does not cover.
int edgeRightOf(const Shot& s, int x, int y, uint32_t id)
{
    while (s.inside(x, y) && s.idAt(x, y) == id)
        ++x;
    return x;
}

bool white(const Rgba& c) { return c.r > 245 && c.g > 245 && c.b > 245; }
bool orange(const Rgba& c) { return c.r > 200 && c.g > 70 && c.g < 170 && c.b < 60; }
bool dark(const Rgba& c) { return c.r < 60 && c.g < 60 && c.b < 60; }

} // namespace

TEST(SelectionOutline, BandAndDarkEdgeAroundTheSelectionFainterWhenHoveredNotInPictures)
{
    AppHarness h(testScenes().box, 400, 400, testScenes().dir);
    ASSERT_TRUE(h.started());
    MeshInstance* side = h.placed(2);
    int x = 0, y = 0;
    h.project(Vec3(20, 0, 2), x, y);
    h.app().clickSelect(side, false);
    h.frames(1);
    const Shot plain = h.capture();
    const int edge = edgeRightOf(plain, x, y, side->id);
    ASSERT_LT(edge + 8, plain.width);
    ASSERT_TRUE(white(plain.at(edge + 1, y))) << "no outline unless asked";

    h.app().renderer().outlineSelection = true;
    h.frames(1);
    const Shot outlined = h.capture();
    EXPECT_TRUE(orange(outlined.at(edge, y)) && orange(outlined.at(edge + 1, y)));
    EXPECT_TRUE(dark(outlined.at(edge + 2, y)));
    EXPECT_TRUE(white(outlined.at(edge + 4, y)));
    int changedInside = 0;
    for (int i = 0; i < int(plain.color.size()); ++i)
        if (plain.ids[size_t(i)] == side->id)
            changedInside += plain.color[size_t(i)].r != outlined.color[size_t(i)].r;
    EXPECT_EQ(changedInside, 0) << "the object itself keeps its colours";

    const std::string dir = makeTempDir();
    std::string reason;
    ASSERT_TRUE(h.app().screenshot(dir + "/a.png", 1, reason)) << reason;
    ASSERT_TRUE(h.app().screenshot(dir + "/b.png", 1, reason, true)) << reason;
    EXPECT_TRUE(h.app().renderer().outlineSelection) << "the window keeps its outline";
    const std::vector<Rgba> without = readPng(dir + "/a.png"), with = readPng(dir + "/b.png");
    const size_t at = size_t(y) * size_t(plain.width) + size_t(edge + 1);
    ASSERT_EQ(without.size(), plain.color.size());
    EXPECT_TRUE(white(without[at]));
    EXPECT_TRUE(orange(with[at]));
    std::filesystem::remove_all(dir);

    // Hovered only: the same outline, blended at less than half strength.
    h.app().deselectAll();
    h.app().renderer().hoveredObject = side->id;
    h.frames(1);
    const Rgba faint = h.capture().at(edge + 1, y);
    EXPECT_FALSE(white(faint) || orange(faint));
    EXPECT_GT(faint.b, 100);
}
