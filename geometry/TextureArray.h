#pragma once
#include "geometry/ModelColors.h"

#include <epoxy/gl.h>

class ShaderProgram;

// The texture unit the base-colour images are bound to: one no pass uses for
// its own images, so binding it never disturbs them.
constexpr GLint baseColorMapUnit = 7;

// A model's base-colour images as one mipmapped 2D array texture that
// repeats, so any number of images costs one binding per draw.
class TextureArray {
public:
    explicit TextureArray(const BaseColorImages& images);
    ~TextureArray();
    TextureArray(const TextureArray&) = delete;
    TextureArray& operator=(const TextureArray&) = delete;

    GLuint name() const { return texture; }

private:
    GLuint texture = 0;
};

// Points the program's "baseColorMap" sampler at its own unit and, when the
// program samples it, binds `images` there (none: nothing is bound, and the
// mesh's vertices name no image).
void bindBaseColorMap(const ShaderProgram& program, const TextureArray* images);
