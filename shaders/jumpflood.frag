#version 330 core
// One jump-flood pass: each pixel keeps, among the seeds found at its own
// texel and the eight texels k away, the one that cuts deepest here. Texel
// reads are clamped to the image: a clamped read returns some real seed,
// and evaluating any real seed here is harmless, so no bounds test is needed.
uniform sampler2D texture0;
uniform vec2 invImageSize;
uniform uvec2 k;

in vec2 uv;
out vec4 outColor;

vec2 imageSize;
vec2 pixel;
ivec2 lastTexel;
vec4 best;
float bestDepth;

// Cut depth (the depth measure) that seed s imposes on this pixel: the seed depth
// minus slope times the screen distance beyond the seed's own half pixel.
// Empty texels (depth 0) impose nothing.
void consider(ivec2 texel)
{
    vec4 s = texelFetch(texture0, clamp(texel, ivec2(0), lastTexel), 0);
    float r = max(distance(pixel, s.rg * imageSize) - 0.5, 0.0);
    float slope = s.a / max(1.0 - s.a, 1e-5) * invImageSize.y;
    float c = s.b > 0.0 ? s.b - r * slope : -1e30;
    if (c > bestDepth) {
        bestDepth = c;
        best = s;
    }
}

void main()
{
    imageSize = 1.0 / invImageSize;
    lastTexel = ivec2(imageSize + 0.5) - 1;
    pixel = gl_FragCoord.xy;
    ivec2 t = ivec2(pixel);
    ivec2 d = ivec2(k);
    best = vec4(0.0);
    bestDepth = -2e30;
    consider(t);
    consider(t + ivec2(-d.x, -d.y));
    consider(t + ivec2(0, -d.y));
    consider(t + ivec2(d.x, -d.y));
    consider(t + ivec2(-d.x, 0));
    consider(t + ivec2(d.x, 0));
    consider(t + ivec2(-d.x, d.y));
    consider(t + ivec2(0, d.y));
    consider(t + ivec2(d.x, d.y));
    outColor = best;
    gl_FragDepth = clamp(bestDepth, 0.0, 1.0);
}
