#version 330 core
// Glyph quads in pixels from the text's origin, y up from the lower left.
layout(location = 1) in vec3 position;
layout(location = 3) in vec2 texCoord;

uniform vec2 invImageSize;
uniform vec2 pOrigin;

out vec2 uv;

void main()
{
    uv = texCoord;
    vec2 p = (pOrigin + position.xy) * invImageSize * 2.0 - 1.0;
    gl_Position = vec4(p, 0.0, 1.0);
}
