#version 330 core
#include "floodcone.glsl"
// One pass of the coarse flood: each coarse texel keeps, among the seeds held
// by its own texel and the eight texels k away, the one that cuts deepest at
// its centre (seeds as floodreduce.frag stores them, full-size positions).
uniform sampler2D seeds;
uniform ivec2 k;
// The coarse texels flooded this frame (first and last, inclusive): reads
// are clamped to them, since texels outside hold older frames.
uniform ivec4 region;

out vec4 outColor;

vec2 centre;
vec4 best;
float bestDepth;

void consider(ivec2 texel)
{
    vec4 s = texelFetch(seeds, clamp(texel, region.xy, region.zw), 0);
    float c = coneDepth(s, centre);
    if (c > bestDepth) {
        bestDepth = c;
        best = s;
    }
}

void main()
{
    ivec2 t = ivec2(gl_FragCoord.xy);
    centre = gl_FragCoord.xy * 4.0;
    best = vec4(0.0, 0.0, -1.0, 0.0);
    bestDepth = -2e30;
    consider(t);
    consider(t + ivec2(-k.x, -k.y));
    consider(t + ivec2(0, -k.y));
    consider(t + ivec2(k.x, -k.y));
    consider(t + ivec2(-k.x, 0));
    consider(t + ivec2(k.x, 0));
    consider(t + ivec2(-k.x, k.y));
    consider(t + ivec2(0, k.y));
    consider(t + ivec2(k.x, k.y));
    outColor = best;
}
