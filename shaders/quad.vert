#version 330 core
// Full-screen quad: clip-space positions, texture coordinates at location 3.
layout(location = 1) in vec3 position;
layout(location = 3) in vec2 texCoord;

out vec2 uv;

void main()
{
    uv = texCoord;
    gl_Position = vec4(position, 1.0);
}
