#version 330 core
// The cutter mask: white wherever a cutter covers the image, whatever colour
// the object's own draw sends.
in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

void main()
{
    outColor = vec4(1.0);
}
