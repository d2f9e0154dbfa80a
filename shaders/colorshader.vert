#version 330 core
// Geometry already in clip space.
layout(location = 1) in vec3 position;

void main()
{
    gl_Position = vec4(position, 1.0);
}
