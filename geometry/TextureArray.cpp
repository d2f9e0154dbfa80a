#include "geometry/TextureArray.h"

#include "app/Platform.h"
#include "gl/ShaderProgram.h"

TextureArray::TextureArray(const BaseColorImages& images)
{
    if (images.layers <= 0 || images.width <= 0 || images.height <= 0 ||
        images.pixels.size() != size_t(images.width) * images.height * 4 * images.layers)
        return;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0 + baseColorMapUnit);
    glBindTexture(GL_TEXTURE_2D_ARRAY, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, images.width, images.height, images.layers, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, images.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glGenerateMipmap(GL_TEXTURE_2D_ARRAY);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glActiveTexture(GL_TEXTURE0);
}

TextureArray::~TextureArray()
{
    if (texture && glContextAlive())
        glDeleteTextures(1, &texture);
}

void bindBaseColorMap(const ShaderProgram& program, const TextureArray* images)
{
    // Set even without images: a sampler left on unit 0 would share it with
    // the pass's depth map, which GL refuses to draw with.
    program.set("baseColorMap", baseColorMapUnit);
    if (!images || program.uniform("baseColorMap") < 0)
        return;
    glActiveTexture(GL_TEXTURE0 + baseColorMapUnit);
    glBindTexture(GL_TEXTURE_2D_ARRAY, images->name());
    glActiveTexture(GL_TEXTURE0);
}
