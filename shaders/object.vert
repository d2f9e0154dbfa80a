#version 330 core
// Scene objects: positions, normals, colours and base-colour image
// coordinates at the mesh's fixed locations, placed by the object's
// model-view matrix.
layout(location = 1) in vec3 position;
layout(location = 2) in vec3 normal;
layout(location = 3) in vec2 texCoord;
layout(location = 4) in vec3 vertexColor;
layout(location = 5) in float textureSlot;

uniform mat4 modelView;
uniform mat3 normalMatrix;
uniform mat4 perspective;

out vec3 eyePosition;
out vec3 eyeNormal;
out vec3 baseColor;
out vec2 imageCoord;
flat out float imageSlot;

void main()
{
    vec4 eye = modelView * vec4(position, 1.0);
    eyePosition = eye.xyz;
    eyeNormal = normalMatrix * normal;
    baseColor = vertexColor;
    imageCoord = texCoord;
    imageSlot = textureSlot;
    gl_Position = perspective * eye;
}
