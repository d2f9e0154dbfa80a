// The vector drawing traced from made-up frame images, read back by rsvg-convert
// and pdftoppm: the colours, cut hatch and lines land where the images put
// them, neighbours leave no white seam, and each object is one named group.
#include "render/SvgGroups.h"
#include "render/VectorPicture.h"
#include "render/VectorTrace.h"
#include "support/AppHarness.h"
#include "support/Rasterised.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

constexpr int traceW = 200, traceH = 160, pageW = 100, pageH = 80;
const uint8_t colorA[3] = {200, 100, 50}, colorB[3] = {160, 80, 40}, colorD[3] = {40, 120, 200},
              cutColor[3] = {90, 160, 90};

// Object 3 (drawn first) partly hidden by object 7; 7 has two shading bands
// and a round cut face; a thick line and a half-strength one run below both. The boundary between
// them falls on the middle of a page pixel.
FrameImages madeUpFrame()
{
    FrameImages f;
    f.width = traceW;
    f.height = traceH;
    const size_t n = size_t(traceW) * traceH;
    f.ids.assign(n, 0);
    f.colors.assign(n * 4, 255);
    f.cut.assign(n, 0);
    f.lines.assign(n, 0);
    auto set = [&](int x, int y, uint32_t id, const uint8_t* c) {
        const size_t p = size_t(y) * traceW + x;
        f.ids[p] = id;
        std::copy(c, c + 3, &f.colors[p * 4]);
    };
    for (int y = 60; y < 140; ++y)
        for (int x = 111; x < 180; ++x)
            set(x, y, 3, colorD);
    for (int y = 20; y < 120; ++y)
        for (int x = 20; x < 111; ++x) {
            const bool cut = std::hypot(x - 60.0, y - 50.0) < 20.0;
            set(x, y, 7, cut ? cutColor : (x < 60 ? colorA : colorB));
            f.cut[size_t(y) * traceW + x] = cut;
        }
    for (int y = 146; y < 152; ++y)
        for (int x = 10; x < 190; ++x)
            f.lines[size_t(y) * traceW + x] = 255;
    for (int y = 154; y < 158; ++y)
        for (int x = 10; x < 190; ++x)
            f.lines[size_t(y) * traceW + x] = 128;
    return f;
}

const std::map<uint32_t, std::string> names = {{3, "nodes[5]"}, {7, "crust.obj"}};

// The drawing of the images as a file of the name's format.
bool writeDrawing(const std::string& path, const FrameImages& frame, const std::map<uint32_t, std::string>& names,
                  const VectorPictureOptions& options, std::string& reason)
{
    VectorFormat format;
    std::string bytes;
    if (!vectorFormatFor(path, format) || !drawVectorPicture(frame, names, options, format, bytes, reason))
        return false;
    std::ofstream(path, std::ios::binary) << bytes;
    return true;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int channelDistance(const uint8_t* p, const uint8_t* c)
{
    return std::max({std::abs(p[0] - c[0]), std::abs(p[1] - c[1]), std::abs(p[2] - c[2])});
}

// What both rasterisers must show of the made-up frame (page pixels).
void expectPicture(const RgbaImage& img, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(img.width, pageW);
    ASSERT_EQ(img.height, pageH);
    const uint8_t white[3] = {255, 255, 255}, lineGrey[3] = {20, 20, 20};
    EXPECT_LE(channelDistance(img.at(2, 2), white), 1);
    EXPECT_LE(channelDistance(img.at(14, 50), colorA), 2);
    EXPECT_LE(channelDistance(img.at(45, 50), colorB), 2);
    EXPECT_LE(channelDistance(img.at(75, 50), colorD), 2);
    EXPECT_LE(channelDistance(img.at(50, 74), lineGrey), 2);
    EXPECT_LE(channelDistance(img.at(50, 70), white), 1);
    const uint8_t halfLine[3] = {137, 137, 137};
    EXPECT_LE(channelDistance(img.at(50, 78), halfLine), 6);

    // The cut face: its colour, a share of it in stripes at 0.7 of it. Over
    // one period in x and y the mean is the face's colour darkened by the
    // stripes' share, 1.5 of 7.
    double green = 0;
    int striped = 0;
    for (int y = 22; y < 29; ++y)
        for (int x = 27; x < 34; ++x) {
            green += img.at(x, y)[1];
            striped += img.at(x, y)[1] < cutColor[1] - 8;
        }
    EXPECT_NEAR(green / 49, cutColor[1] * (1 - 0.3 * 1.5 / 7), 4);
    EXPECT_GE(striped, 49 / 7);
    EXPECT_LE(striped, 49 / 2);

    // Object 7 ends half way through column 55: that pixel mixes 7's and 3's
    // colours, with no white from below.
    for (int y = 32; y < 52; ++y) {
        const uint8_t* p = img.at(55, y);
        double dot = 0, norm = 0;
        for (int c = 0; c < 3; ++c) {
            dot += (p[c] - colorD[c]) * double(colorB[c] - colorD[c]);
            norm += double(colorB[c] - colorD[c]) * (colorB[c] - colorD[c]);
        }
        const double t = dot / norm;
        EXPECT_GT(t, 0.2) << "row " << y;
        EXPECT_LT(t, 0.8) << "row " << y;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(p[c], colorD[c] + t * (colorB[c] - colorD[c]), 6) << "row " << y << " channel " << c;
    }
}

TEST(VectorPicture, SvgAndPdfShowTheImagesAndNameEachObjectsGroup)
{
    const std::string dir = makeTempDir();
    const FrameImages frame = madeUpFrame();
    VectorPictureOptions options;
    options.pageWidth = pageW;
    options.pageHeight = pageH;
    for (const char* name : {"/frame.svg", "/frame.pdf"}) {
        const std::string path = dir + name;
        std::string reason;
        ASSERT_TRUE(writeDrawing(path, frame, names, options, reason)) << reason;
        ASSERT_TRUE(rasterise(path, pageW, pageH, dir + "/back.png")) << path;
        RgbaImage img;
        ASSERT_TRUE(img.load(dir + "/back.png"));
        expectPicture(img, path);
    }

    const std::string svg = readFile(dir + "/frame.svg");
    EXPECT_TRUE(wellFormedXml(dir + "/frame.svg"));
    // One group per object, in drawing order, then the lines; names that are
    // no XML id keep their letters and stay whole in the title.
    const size_t g3 = svg.find("<g id=\"nodes_5_\">\n<title>nodes[5]</title>");
    const size_t g7 = svg.find("<g id=\"crust.obj\">\n<title>crust.obj</title>");
    const size_t lines = svg.find("<g id=\"lines\">");
    ASSERT_NE(g3, std::string::npos);
    ASSERT_NE(g7, std::string::npos);
    ASSERT_NE(lines, std::string::npos);
    EXPECT_LT(g3, g7);
    EXPECT_LT(g7, lines);
    // Object 7: two colours, then the hatched cut face as a pattern fill.
    const std::string group7 = svg.substr(g7, svg.find("</g>", g7) - g7);
    size_t paths = 0;
    for (size_t at = group7.find("<path"); at != std::string::npos; at = group7.find("<path", at + 1))
        ++paths;
    EXPECT_EQ(paths, 3u);
    EXPECT_NE(group7.find("fill:url(#"), std::string::npos);
}

TEST(VectorPicture, TransparentPageAndRefusedInput)
{
    const std::string dir = makeTempDir();
    FrameImages frame = madeUpFrame();
    VectorPictureOptions options;
    options.pageWidth = pageW;
    options.pageHeight = pageH;
    options.transparent = true;
    std::string reason;
    ASSERT_TRUE(writeDrawing(dir + "/clear.svg", frame, names, options, reason)) << reason;
    ASSERT_TRUE(rasterise(dir + "/clear.svg", pageW, pageH, dir + "/clear.png"));
    RgbaImage img;
    ASSERT_TRUE(img.load(dir + "/clear.png"));
    EXPECT_EQ(img.at(2, 2)[3], 0);
    EXPECT_EQ(img.at(14, 50)[3], 255);
    EXPECT_EQ(img.at(50, 74)[3], 255);

    // Two objects of the same name get distinct ids.
    std::string bytes;
    ASSERT_TRUE(drawVectorPicture(frame, {{3, "part"}, {7, "part"}}, options, VectorFormat::Svg, bytes, reason));
    EXPECT_NE(bytes.find("<g id=\"part\">"), std::string::npos);
    EXPECT_NE(bytes.find("<g id=\"part-2\">"), std::string::npos);

    // Images that do not fit together draw nothing; only .svg and .pdf are
    // drawings.
    frame.lines.pop_back();
    bytes.clear();
    EXPECT_FALSE(drawVectorPicture(frame, names, options, VectorFormat::Svg, bytes, reason));
    EXPECT_TRUE(bytes.empty());
    VectorFormat format;
    EXPECT_TRUE(vectorFormatFor("a.PDF", format));
    EXPECT_EQ(format, VectorFormat::Pdf);
    EXPECT_FALSE(vectorFormatFor("a.svg.png", format));
    EXPECT_FALSE(vectorFormatFor(".svg", format));
}

// The tracing alone: what each object and the lines are filled with, in
// drawing order, outlined within the page.
TEST(VectorPicture, TracedFillsOfEachObjectAndTheLines)
{
    const TracedPicture traced = traceFrame(madeUpFrame(), pageW, pageH);
    ASSERT_EQ(traced.objects.size(), 2u);
    EXPECT_EQ(traced.objects[0].id, 3u);
    const std::vector<TracedFill>& fills = traced.objects[1].fills;
    EXPECT_EQ(traced.objects[1].id, 7u);
    auto rgb = [](const uint8_t* c) { return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2]; };
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].paint, TracedFill::Paint::Flat);
    EXPECT_EQ(fills[0].rgb, rgb(colorB)); // darkest first
    EXPECT_EQ(fills[1].rgb, rgb(colorA));
    EXPECT_EQ(fills[2].paint, TracedFill::Paint::Hatch);
    EXPECT_EQ(fills[2].rgb, rgb(cutColor));
    // Four nested line levels; the half-strength line reaches the lower two.
    ASSERT_EQ(traced.lines.size(), 4u);
    EXPECT_DOUBLE_EQ(traced.lines[0].opacity, 0.25);
    EXPECT_DOUBLE_EQ(traced.lines[3].opacity, 1.0);
    for (const TracedFill& fill : fills) {
        EXPECT_EQ(fill.outline.front().kind, OutlineStep::Kind::Move);
        EXPECT_EQ(fill.outline.back().kind, OutlineStep::Kind::Close);
        for (const OutlineStep& step : fill.outline) {
            EXPECT_GE(step.x, 0);
            EXPECT_LE(step.x, pageW);
            EXPECT_GE(step.y, 0);
            EXPECT_LE(step.y, pageH);
        }
    }
}

// A gradient of 64 greys is drawn in as many distinct colours as an object
// may have, each band its own fill.
TEST(VectorPicture, AGradientIsDrawnInTheMostColours)
{
    FrameImages f;
    f.width = 256;
    f.height = 16;
    const size_t n = size_t(f.width) * f.height;
    f.ids.assign(n, 1);
    f.colors.assign(n * 4, 255);
    f.cut.assign(n, 0);
    f.lines.assign(n, 0);
    for (size_t p = 0; p < n; ++p)
        for (int c = 0; c < 3; ++c)
            f.colors[p * 4 + c] = uint8_t(3 * (p % f.width / 4));
    const TracedPicture traced = traceFrame(f, 128, 8);
    ASSERT_EQ(traced.objects.size(), 1u);
    EXPECT_EQ(traced.objects[0].fills.size(), 32u);
}

// Fewer or more elements on the page than the plan counts leave the drawing
// as it is.
TEST(VectorPicture, SvgGroupsMustMatchThePage)
{
    const std::string page = "<svg><g id=\"surface1\">\n<path d=\"M 0 0\"/>\n<path d=\"M 1 1\"/>\n</g></svg>";
    std::string svg = page, reason;
    EXPECT_FALSE(nameSvgGroups(svg, {{"a", 1}, {"b", 2}}, reason));
    EXPECT_EQ(svg, page);
    EXPECT_NE(reason.find("2 shapes where 3"), std::string::npos) << reason;
    ASSERT_TRUE(nameSvgGroups(svg, {{"", 1}, {"1 & 2", 1}}, reason)) << reason;
    EXPECT_NE(svg.find("<path d=\"M 0 0\"/>\n<g id=\"_1___2\">\n<title>1 &amp; 2</title>\n<path d=\"M 1 1\"/>\n</g>"),
              std::string::npos)
        << svg;
}

} // namespace
