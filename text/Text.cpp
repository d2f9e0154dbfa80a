#include "text/Text.h"

#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"
#include "math/Camera.h"
#include "scene/Scene.h"
#include "text/Font.h"
#include "text/Utf8.h"

#include <vector>

Text::Text() = default;
Text::~Text() = default;

void Text::setText(const std::string& s)
{
    text = s;
    const std::vector<uint32_t> codes = decodeUtf8(text);
    const size_t n = codes.size();
    const bool haveAtlas = fontFace && fontFace->atlasWidth > 0 && fontFace->atlasHeight > 0;
    const float invW = haveAtlas ? 1.0f / float(fontFace->atlasWidth) : 0.0f;
    const float invH = haveAtlas ? 1.0f / float(fontFace->atlasHeight) : 0.0f;

    std::vector<float> positions;
    std::vector<float> texCoords;
    std::vector<uint32_t> indices;
    positions.reserve(12 * n);
    texCoords.reserve(8 * n);
    indices.reserve(7 * n);

    // A character whose glyph the face lacks (or a missing face) gets a
    // quad of no size that does not move the pen, so every character still
    // owns four vertices and nothing outside the atlas is ever read.
    const Glyph none{0, 0, 0, 0, 0, 0, 0, 0};
    int pen = 0;
    uint32_t b = 0;
    for (uint32_t code : codes) {
        const Glyph* found = nullptr;
        if (fontFace && fontFace->face) {
            // A character the face does not map, and a byte that is not
            // UTF-8, give glyph 0: the missing-glyph shape, never another
            // character.
            found = fontFace->glyph(int(FT_Get_Char_Index(fontFace->face, FT_ULong(code))));
        }
        const Glyph& g = found ? *found : none;
        const float left = float(pen + g.bearingX);
        const float right = left + float(g.width);
        const float top = float(g.bearingY);
        const float bottom = top - float(g.height);
        const float uLeft = float(g.x) * invW;
        const float uRight = float(g.x + g.width) * invW;
        const float vTop = float(g.y) * invH;
        const float vBottom = float(g.y + g.height) * invH;
        positions.insert(positions.end(), {left, top, 0, left, bottom, 0, right, top, 0, right, bottom, 0});
        texCoords.insert(texCoords.end(), {uLeft, vTop, uLeft, vBottom, uRight, vTop, uRight, vBottom});
        indices.insert(indices.end(), {b, b + 1, b + 2, b + 2, b + 1, b + 3, Mesh::restartIndex});
        b += 4;
        pen += g.advance;
    }

    mesh = std::make_unique<Mesh>();
    MeshData data;
    data.vertexCount = int32_t(4 * n);
    data.positions = positions.data();
    data.texCoords = texCoords.data();
    data.indexCount = int32_t(7 * n);
    data.indices = indices.data();
    data.primitiveMode = GL_TRIANGLES;
    mesh->upload(data);
}

void Text::draw()
{
    if (!mesh || !shader || !shader->linked || !fontFace || !scene || !scene->camera)
        return;
    const Camera& camera = *scene->camera;
    shader->use();
    shader->set("invImageSize", 1.0f / float(camera.viewportWidth), 1.0f / float(camera.viewportHeight));
    shader->set("pOrigin", float(x), float(y));
    shader->set("color", 0.0f, 0.0f, 0.0f);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontFace->texture);
    shader->set("texture0", 0);
    mesh->draw();
    glUseProgram(0);
}
