#include "geometry/Material.h"

#include "gl/ShaderProgram.h"

void ColorMaterial::apply(ShaderProgram& program)
{
    program.set("color", color.x, color.y, color.z);
}
