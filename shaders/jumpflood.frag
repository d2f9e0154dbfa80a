#version 330 core
// One jump-flood pass: each pixel keeps, among the seeds found at its own
// texel and the eight texels k away, the one that cuts deepest here.
uniform sampler2D texture0;
uniform vec2 invImageSize;

vec2 imageSize;
uniform uvec2 k;

in vec2 uv;
out vec4 outColor;

// Cut depth (over farPlane) that seed s imposes on the pixel at window
// position pixel: the seed depth minus slope times the screen distance. An
// empty texel imposes nothing; a zero-angle seed cuts only its own pixel.
float cutDepth(vec4 s, vec2 pixel)
{
    if (s.b <= 0.0)
        return -1e30;
    float r = distance(pixel, s.rg * imageSize);
    if (r < 0.5)
        return s.b;
    if (s.a >= 0.99999)
        return -1e30;
    // slope = G / imageHeight with G = a / (1 - a)
    return s.b - r * (s.a / (1.0 - s.a)) * invImageSize.y;
}

void main()
{
    imageSize = 1.0 / invImageSize;
    vec2 pixel = gl_FragCoord.xy;
    ivec2 texel = ivec2(pixel);
    ivec2 size = ivec2(imageSize + 0.5);
    ivec2 step = ivec2(k);
    vec4 best = texelFetch(texture0, texel, 0);
    float bestDepth = cutDepth(best, pixel);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0)
                continue;
            ivec2 q = texel + ivec2(dx, dy) * step;
            // Outside the image there is no seed (texelFetch does not clamp).
            if (any(lessThan(q, ivec2(0))) || any(greaterThanEqual(q, size)))
                continue;
            vec4 s = texelFetch(texture0, q, 0);
            float c = cutDepth(s, pixel);
            if (c > bestDepth) {
                bestDepth = c;
                best = s;
            }
        }
    }
    outColor = best;
    gl_FragDepth = clamp(bestDepth, 0.0, 1.0);
}
