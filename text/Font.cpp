#include "text/Font.h"

#include "base/DataPaths.h"

#include "app/Platform.h"
#include "geometry/Mesh.h"
#include "text/GlyphPacker.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr int fontPixelHeight = 14;

// Copies the part of the rendered bitmap that overlaps the glyph's rectangle
// in the atlas. Hinting can make FreeType's bitmap differ from the measured
// metrics by a pixel, and its rows carry their own pitch.
void copyBitmap(const FT_Bitmap& bitmap, const Glyph& g, std::vector<unsigned char>& atlas, int side)
{
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || !bitmap.buffer)
        return; // not 8-bit coverage: the glyph keeps its place, its pixels stay 0
    const int rows = std::min(int(bitmap.rows), g.height);
    const int cols = std::min(int(bitmap.width), g.width);
    const long pitch = bitmap.pitch;
    // With a negative pitch the rows run upwards in memory from buffer.
    const unsigned char* top = bitmap.buffer + (pitch < 0 ? -pitch * (long(bitmap.rows) - 1) : 0);
    for (int r = 0; r < rows; ++r) {
        const unsigned char* src = top + r * pitch;
        std::copy(src, src + cols, atlas.begin() + (long(g.y) + r) * side + g.x);
    }
}

} // namespace

FontFace::~FontFace()
{
    release();
}

FontFace::FontFace(FontFace&& other) noexcept
{
    *this = std::move(other);
}

FontFace& FontFace::operator=(FontFace&& other) noexcept
{
    if (this == &other)
        return *this;
    release();
    glyphs = std::move(other.glyphs);
    texture = other.texture;
    atlasWidth = other.atlasWidth;
    atlasHeight = other.atlasHeight;
    path = std::move(other.path);
    pixelHeight = other.pixelHeight;
    face = other.face;
    other.texture = 0;
    other.face = nullptr;
    other.glyphs.clear();
    return *this;
}

void FontFace::release()
{
    if (texture != 0 && glContextAlive())
        glDeleteTextures(1, &texture);
    texture = 0;
    if (face)
        FT_Done_Face(face);
    face = nullptr;
}

const Glyph* FontFace::glyph(int index) const
{
    // Glyphs that failed to load leave gaps, so the array cannot be indexed
    // directly; it is sorted by index.
    auto it = std::lower_bound(glyphs.begin(), glyphs.end(), index,
                               [](const Glyph& g, int i) { return g.index < i; });
    return it != glyphs.end() && it->index == index ? &*it : nullptr;
}

Font::Font()
{
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        std::cout << "ERR: Could not init FreeType library" << std::endl;
        return;
    }
    glPrimitiveRestartIndex(Mesh::restartIndex);
    glEnable(GL_PRIMITIVE_RESTART);
    shader.loadSource(GL_VERTEX_SHADER, "shaders/fontshader.vert");
    shader.loadSource(GL_FRAGMENT_SHADER, "shaders/fontshader.frag");
    shader.compile();
    shader.link({"outColor"});
}

Font::~Font()
{
    // Faces first: FreeType faces must go before their library.
    faces.clear();
    if (library)
        FT_Done_FreeType(library);
}

FontFace* Font::face(const std::string& name)
{
    auto it = faces.find(name);
    return it != faces.end() ? &it->second : nullptr;
}

bool Font::loadFace(const std::string& name, const std::string& path)
{
    return load(name, path, true);
}

bool Font::loadFaceWithFallback(const std::string& name, const std::string& path,
                                const std::string& fallbackPath)
{
    return load(name, path, false) || load(name, fallbackPath, true);
}

bool Font::load(const std::string& name, const std::string& path, bool reportMissing)
{
    FT_Face ftFace = nullptr;
    if (!library || FT_New_Face(library, findDataFile(path).c_str(), 0, &ftFace) != 0) {
        if (reportMissing)
            std::cout << "ERR: Could not load font face" << std::endl;
        return false;
    }
    if (FT_Set_Pixel_Sizes(ftFace, 0, fontPixelHeight) != 0) {
        // The file is there but unusable: worth saying even before a fallback.
        std::cout << "ERR: Could not load font with height of " << fontPixelHeight << "px" << std::endl;
        FT_Done_Face(ftFace);
        return false;
    }

    std::vector<PackGlyph> packed;
    for (FT_Long i = 0; i < ftFace->num_glyphs; ++i) {
        if (FT_Load_Glyph(ftFace, FT_UInt(i), FT_LOAD_DEFAULT) != 0)
            continue;
        const FT_Glyph_Metrics& m = ftFace->glyph->metrics;
        // 26.6 fixed point; C++ division truncates toward zero.
        packed.push_back({int(i), int(m.width / 64), int(m.height / 64), int(m.horiBearingX / 64),
                          int(m.horiBearingY / 64), int(m.horiAdvance / 64), 0, 0});
    }
    const int side = packGlyphs(packed);

    FontFace entry;
    entry.glyphs.reserve(packed.size());
    for (const PackGlyph& p : packed)
        entry.glyphs.push_back({p.index, p.width, p.height, p.bearingX, p.bearingY, p.advance, p.x, p.y});

    std::vector<unsigned char> atlas(size_t(side) * size_t(side), 0);
    for (const Glyph& g : entry.glyphs) {
        if (g.height <= 0 || g.width <= 0)
            continue;
        if (FT_Load_Glyph(ftFace, FT_UInt(g.index), FT_LOAD_RENDER) != 0)
            continue;
        copyBitmap(ftFace->glyph->bitmap, g, atlas, side);
    }

    glGenTextures(1, &entry.texture);
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, side, side, 0, GL_RED, GL_UNSIGNED_BYTE, atlas.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);

    entry.atlasWidth = side;
    entry.atlasHeight = side;
    entry.path = path;
    entry.pixelHeight = fontPixelHeight;
    entry.face = ftFace;
    // Assigning into the existing entry keeps its address valid for the
    // texts that point at it; the old atlas and face are released.
    faces[name] = std::move(entry);
    return true;
}
