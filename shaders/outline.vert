#version 330 core
// Full-screen quad for the outline passes; they address texels by gl_FragCoord.
layout(location = 1) in vec3 position;

void main()
{
    gl_Position = vec4(position, 1.0);
}
