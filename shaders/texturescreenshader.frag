#version 330 core
// Shows a texture on the full-screen quad.
uniform sampler2D texture0;

in vec2 uv;
out vec4 outColor;

void main()
{
    outColor = texture(texture0, uv);
}
