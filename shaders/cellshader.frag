#version 330 core
// Cell shading with the cutaway test.
#include "depthmeasure.glsl"
uniform vec3 color;
uniform vec3 viewLightPosition;
uniform uint colorID;
uniform int useDepthMap;
uniform sampler2D depthMap;
uniform vec2 invImageSize;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;
in vec2 imageCoord;
flat in float imageSlot;
uniform sampler2DArray baseColorMap;

out vec4 outColor;
out uint outID;

// The vertex colour, times the base-colour image where the vertex names one
// (slot k is layer k - 1). The gradients are taken before the branch: a
// neighbouring pixel may belong to a surface without an image.
vec3 surfaceColor()
{
    vec2 dx = dFdx(imageCoord);
    vec2 dy = dFdy(imageCoord);
    if (imageSlot < 0.5)
        return baseColor;
    return baseColor * textureGrad(baseColorMap, vec3(imageCoord, imageSlot - 1.0), dx, dy).rgb;
}

void main()
{
    float depth = depthMeasure(-eyePosition.z);
    if (useDepthMap == 1) {
        // Inside the cutaway: nearer than the cut surface at this pixel.
        float cut = texture(depthMap, gl_FragCoord.xy * invImageSize).r;
        if (depth < cut)
            discard;
    }
    vec3 n = eyeNormal;
    float len = length(n);
    n = len > 1e-8 ? n / len : vec3(0.0, 0.0, 1.0);
    vec3 l = normalize(viewLightPosition - eyePosition);
    float diffuse = max(dot(n, l), 0.0);
    float band = diffuse > 0.6 ? 1.0 : (diffuse > 0.25 ? 0.8 : 0.6);
    outColor = vec4(surfaceColor() * color * band, 1.0);
    outID = colorID;
    gl_FragDepth = depth;
}
