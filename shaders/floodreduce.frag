#version 330 core
#include "floodcone.glsl"
// The coarse flood's seeds: each coarse texel stands for a 4 x 4 block of
// the full-size seed image and keeps one of its seeds, decoded.
uniform sampler2D seeds;

out vec4 outColor;

void main()
{
    ivec2 base = ivec2(gl_FragCoord.xy) * 4;
    ivec2 lastTexel = ivec2(imageSize) - 1;
    vec2 centre = gl_FragCoord.xy * 4.0;
    vec4 block[16];
    vec3 weighted = vec3(0.0);
    for (int i = 0; i < 16; ++i) {
        vec4 s = texelFetch(seeds, min(base + ivec2(i % 4, i / 4), lastTexel), 0);
        block[i] = decodeSeed(s);
        weighted += vec3(block[i].xy, 1.0) * s.b;
    }
    // Far from the block, the seed that wins is the one that cuts deepest
    // in the direction where the block's seeds thin out or grow shallow:
    // judge the seeds from a point that way.
    vec2 away = weighted.z > 0.0 ? centre - weighted.xy / weighted.z : vec2(0.0);
    vec2 judge = length(away) > 0.1 ? centre + 8.0 * normalize(away) : centre;
    vec4 best = vec4(0.0, 0.0, -1.0, 0.0);
    float bestDepth = -2e30;
    for (int i = 0; i < 16; ++i) {
        float c = coneDepth(block[i], judge);
        if (c > bestDepth) {
            bestDepth = c;
            best = block[i];
        }
    }
    outColor = best;
}
