#version 330 core
// Text colour with the glyph coverage as alpha.
uniform sampler2D texture0;
uniform vec3 color;

in vec2 uv;
out vec4 outColor;

void main()
{
    outColor = vec4(color, texture(texture0, uv).r);
}
