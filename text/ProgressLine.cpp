#include "text/ProgressLine.h"

#include "math/Camera.h"
#include "scene/Scene.h"
#include "text/Font.h"
#include "text/Overlay.h"
#include "text/Text.h"

ProgressLine::ProgressLine(Scene* s, Font* font) : scene(s), text(std::make_unique<Text>())
{
    shader.build("shaders/colorshader.vert", "shaders/colorshader.frag", {"outColor"});
    text->fontFace = font ? font->face("Lucida") : nullptr;
    text->scene = scene;
    text->shader = font ? &font->shader : nullptr;
    text->x = 10;
    text->y = 9;
}

ProgressLine::~ProgressLine() = default;

void ProgressLine::draw(const std::string& line)
{
    const int h = scene && scene->camera ? scene->camera->viewportHeight : 0;
    if (line.empty() || h <= 0)
        return;
    if (bandFor != h) {
        // Clip space: the whole width, bandHeight pixels from the bottom.
        const float top = -1.0f + 2.0f * float(bandHeight) / float(h);
        const float quad[] = {-1, top, 0, -1, -1, 0, 1, top, 0, 1, -1, 0};
        MeshData data;
        data.vertexCount = 4;
        data.positions = quad;
        data.primitiveMode = GL_TRIANGLE_STRIP;
        band.release();
        band.upload(data);
        bandFor = h;
    }
    if (text->text != line)
        text->setText(line);

    drawOverlay(shader, band, {1.0f, 0.93f, 0.6f, 0.9f}, [this] { text->draw(); });
}
