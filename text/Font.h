#pragma once
#include "gl/ShaderProgram.h"

#include <epoxy/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <unordered_map>
#include <vector>

// Metrics of one glyph in whole pixels and its top-left pixel in the atlas.
struct Glyph {
    int index, width, height, bearingX, bearingY, advance, x, y;
};

// One face at a fixed pixel height: its glyphs sorted by glyph index, the
// single-channel square atlas that holds them, and the FreeType face kept
// open for character lookups. Owns the texture and the FreeType face; moving
// hands them over, so a face stored in Font::faces keeps its address when
// the name is loaded again.
struct FontFace {
    FontFace() = default;
    ~FontFace();
    FontFace(FontFace&& other) noexcept;
    FontFace& operator=(FontFace&& other) noexcept;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // The glyph with this glyph index, or null when the face has none.
    const Glyph* glyph(int index) const;
    void release();

    std::vector<Glyph> glyphs;
    GLuint texture = 0;
    int atlasWidth = 0, atlasHeight = 0;
    std::string path;
    int pixelHeight = 14;
    FT_Face face = nullptr;
};

// The glyph atlases of every loaded face and the program that draws text.
// Constructing it needs a current GL context, and it switches primitive
// restart on for the whole program.
class Font {
public:
    // The proprietary face the viewer asks for is not shipped; this free one is.
    static constexpr const char* shippedFontPath = "fonts/DejaVuSansMono.ttf";

    Font();
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Loads the face at 14 pixels and stores it under name, replacing an
    // earlier face of that name. False (with a message) when the file cannot
    // be opened or sized; nothing is stored then.
    bool loadFace(const std::string& name, const std::string& path);
    // Tries path, then fallbackPath, storing whichever loads under name. A
    // missing first file is expected (the viewer names a font it cannot ship),
    // so "could not load" is reported only when neither file loads.
    bool loadFaceWithFallback(const std::string& name, const std::string& path,
                              const std::string& fallbackPath);
    // The face stored under name, or null when none was loaded.
    FontFace* face(const std::string& name);

    std::unordered_map<std::string, FontFace> faces;
    ShaderProgram shader{"Font Shader"};
    FT_Library library = nullptr;

private:
    bool load(const std::string& name, const std::string& path, bool reportMissing);
};
