#version 330 core
#include "floodcone.glsl"
// After the coarse flood: each coarse texel looks at the full-size seeds
// within 3 pixels of the seed it won and keeps the one that cuts deepest at
// its centre, undoing the choice of one seed per block where a neighbour of
// it serves this texel better.
uniform sampler2D coarse;
uniform sampler2D seeds;

out vec4 outColor;

void main()
{
    vec2 centre = gl_FragCoord.xy * 4.0;
    vec4 best = texelFetch(coarse, ivec2(gl_FragCoord.xy), 0);
    float bestDepth = coneDepth(best, centre);
    if (best.z > -1.0) {
        ivec2 w = ivec2(best.xy);
        ivec2 lastTexel = ivec2(imageSize) - 1;
        for (int y = -3; y <= 3; ++y) {
            for (int x = -3; x <= 3; ++x) {
                vec4 s = decodeSeed(texelFetch(seeds, clamp(w + ivec2(x, y), ivec2(0), lastTexel), 0));
                float c = coneDepth(s, centre);
                if (c > bestDepth) {
                    bestDepth = c;
                    best = s;
                }
            }
        }
    }
    outColor = best;
}
