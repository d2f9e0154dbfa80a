#version 330 core
// Back faces exposed by the cut. A back face is exposed where it lies behind
// the cut surface and in front of the visible front surface that the cell
// pass left at this pixel: the material between the cut surface and it has
// been removed, so its object is what the cut shows. It is drawn at the cut
// surface's depth and shaded flat with hatching.
#include "depthmeasure.glsl"
uniform vec3 color;
uniform vec3 viewLightPosition;
uniform uint colorID;
uniform sampler2D depthMap;
uniform sampler2D depthFrontFace;
uniform vec2 invImageSize;
// Picture pixels per hatch pixel: the stripes keep their size in a picture
// rendered larger.
uniform float hatchScale;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;
in vec2 imageCoord;
flat in float imageSlot;
uniform sampler2DArray baseColorMap;

out vec4 outColor;
out uint outID;

// A cut face shows the inside of its object in one colour: an image's
// smallest mipmap level is its mean colour.
vec3 cutColor()
{
    if (imageSlot < 0.5)
        return baseColor;
    return baseColor * textureLod(baseColorMap, vec3(imageCoord, imageSlot - 1.0), 16.0).rgb;
}

void main()
{
    vec2 uv = gl_FragCoord.xy * invImageSize;
    float depth = depthMeasure(-eyePosition.z);
    float cut = texture(depthMap, uv).r;
    float front = texture(depthFrontFace, uv).r;
    if (cut <= 0.0 || depth <= cut || depth >= front)
        discard;
    float hatch = mod((gl_FragCoord.x + gl_FragCoord.y) / max(hatchScale, 1.0), 7.0) < 1.5 ? 0.7 : 1.0;
    outColor = vec4(cutColor() * color * 0.82 * hatch, 1.0);
    outID = colorID;
    // A small step behind the surrounding surfaces outlines the cut rim in
    // the line passes. The step is relative (the measure is logarithmic: about
    // 1.2 % of the distance) and never more than half the way to the front
    // surface behind the cut, so the cut face always wins over it; a small
    // share of the face's own depth orders the exposed back faces.
    float step = min(0.0013, 0.5 * (front - cut));
    gl_FragDepth = cut + step + 1e-3 * (depth - cut);
}
