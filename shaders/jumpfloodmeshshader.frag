#version 330 core
// Seeds of the cutaway: the farthest back faces of the cutters. One RGBA16
// texel carries everything the flood needs about its seed:
//   r, g  the seed's window position over the image size (texel centre)
//   b     the seed's depth measure (see depthMeasure; 0 marks an empty texel)
//   a     the cone's slope, code = G / (1 + G) with G = slope * imageHeight,
//         where slope is how much the cut's depth measure drops per pixel of
//         screen distance from the seed (1 means a cone so steep that only
//         the seed's own pixel is cut)
// The measure is logarithmic, so a slope in it is a relative one: the cut
// lies at the seed's distance times exp(-g r) at r pixels, g being the cone
// half-angle's cotangent times the eye-space width of a pixel at a reference
// depth, over the seed's distance. Near the seed that is the straight cone of
// the angle; farther out the wall bends toward the line of sight. The
// reference depth is the seed's own with "directional" on (the hole's size is
// in proportion to the scene, whatever its scale), a fixed depth of
// farPlane / 8 with it off (the hole keeps its size on screen whatever the
// zoom). "edgeCompression" 1 steepens the cone fourfold so the hole hugs the
// cutter's outline.
#include "depthmeasure.glsl"

uniform vec2 imageSize;
uniform float farPlane;
uniform float edgeCompression;
uniform float directional;
uniform float maxTheta;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;

void main()
{
    float distance = -eyePosition.z;
    // Negative or NaN angles open no cone; 90 degrees is the widest.
    float theta = maxTheta > 0.0 ? min(maxTheta, 1.5707963) : 0.0;
    float referenceDepth = directional > 0.5 ? distance : farPlane * 0.125;
    float pixelWidth = 2.0 * referenceDepth / (imageSize.y * perspective[1][1]);
    float code = 1.0;
    if (theta > 0.0) {
        float g = pixelWidth * (cos(theta) / sin(theta)) * (1.0 + 3.0 * edgeCompression) / max(distance, 1e-6);
        float slope = g / depthLogRange();
        float steep = slope * imageSize.y;
        code = steep / (1.0 + steep);
    }
    // A seed on the near plane itself must still count as one.
    float depth = max(depthMeasure(distance), 1.0 / 65535.0);
    outColor = vec4(gl_FragCoord.xy / imageSize, depth, code);
    gl_FragDepth = depth;
}
