#pragma once
// Panels with text on them, drawn over whatever is in the window.
#include <functional>

class Mesh;
class ShaderProgram;

// A panel's colour, straight (not premultiplied) alpha.
struct PanelColor {
    float r, g, b, a;
};

// Fills `panel` (positions in clip space) in one colour with the flat colour
// program, skipped when that did not link, then calls drawText, both blended
// over the window in drawing order. Glyph quads overlap their neighbours, so
// a depth test would let each quad's blank margin cut into the next glyph: it
// is off meanwhile and restored afterwards. Blending is left off.
void drawOverlay(const ShaderProgram& colorShader, const Mesh& panel, PanelColor color,
                 const std::function<void()>& drawText);
