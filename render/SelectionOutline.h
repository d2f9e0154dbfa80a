#pragma once
#include "gl/FrameBufferObject.h"
#include "gl/ShaderProgram.h"

#include <cstdint>
#include <vector>

class Mesh;

// Outlines traced in screen space from the object-id image: the selected
// objects get a band in the outline colour with a dark last pixel, the
// object under the pointer a fainter one. Three screen passes - marks from
// the ids, a dilation along rows, a dilation down columns blended over the
// picture - limited to a rectangle around the marked objects.
class SelectionOutline {
public:
    // Width of the outline in pixels (the last of them dark).
    static constexpr int reach = 3;

    SelectionOutline() = default;
    SelectionOutline(const SelectionOutline&) = delete;
    SelectionOutline& operator=(const SelectionOutline&) = delete;

    void init();
    void resize(int width, int height);
    void release();

    // Draws over what FrameBufferObject::unbind() draws to. ids is the id
    // image (unsigned integers) of the frame's size; rect (x, y, w, h, rows
    // from the bottom) holds every marked pixel. Nothing is drawn when no id
    // is marked.
    void draw(GLuint ids, const std::vector<uint32_t>& selected, uint32_t hovered, const int rect[4],
              const Mesh& screenQuad);

    std::vector<const ShaderProgram*> programs() const { return {&maskShader, &spreadShader, &outlineShader}; }

private:
    ShaderProgram maskShader{"Outline mask Shader"};
    ShaderProgram spreadShader{"Outline spread Shader"};
    ShaderProgram outlineShader{"Outline Shader"};
    FrameBufferObject maskTarget;
    FrameBufferObject spreadTarget;
    GLuint marksTexture = 0;
    std::vector<unsigned char> marks;
    int width = 0, height = 0;
};
