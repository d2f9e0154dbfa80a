#version 330 core
#include "floodcone.glsl"
// The cutaway depth at full size: each pixel takes the deepest cut among its
// own seed and the seeds the refined coarse flood holds for the coarse
// texels around it, each evaluated exactly at the pixel.
uniform sampler2D coarse;
uniform sampler2D seeds;
// The coarse texels flooded this frame (first and last, inclusive).
uniform ivec4 region;

vec2 pixel;
float bestDepth;

void main()
{
    pixel = gl_FragCoord.xy;
    vec4 own = texelFetch(seeds, ivec2(pixel), 0);
    bestDepth = own.b;
    // The four coarse texels whose centres surround the pixel.
    ivec2 t = ivec2(floor(pixel * 0.25 - 0.5));
    bestDepth = max(bestDepth, coneDepth(texelFetch(coarse, clamp(t, region.xy, region.zw), 0), pixel));
    bestDepth = max(bestDepth, coneDepth(texelFetch(coarse, clamp(t + ivec2(1, 0), region.xy, region.zw), 0), pixel));
    bestDepth = max(bestDepth, coneDepth(texelFetch(coarse, clamp(t + ivec2(0, 1), region.xy, region.zw), 0), pixel));
    bestDepth = max(bestDepth, coneDepth(texelFetch(coarse, clamp(t + ivec2(1, 1), region.xy, region.zw), 0), pixel));
    gl_FragDepth = clamp(bestDepth, 0.0, 1.0);
}
