#version 330 core
// Silhouette and crease lines from a depth image in the logarithmic measure
// of the object passes. The detector works on the reciprocal distance, which
// is affine across the screen on every plane, so flat surfaces give no line
// at any angle; it is taken relative to the centre texel, so the lines do not
// depend on the scene's scale: |sum of the four neighbours' 1/z over the
// centre's - 4|, scaled by 1/8 (a surface 50 units away, the start view,
// then gives the figures a linear depth over 400 gave), faded in between
// threshold.x and threshold.y. With useDepthMap the lines are weighted by the
// blurred cutter mask (ghosting). depthLogRange is ln(far / near) of the
// measure.
//
// A single texel that stands apart from all its neighbours (a crack between
// triangles showing what lies behind, a speck where two surfaces meet) is no
// edge. The four-neighbour stencil would ring it with a "+" of line: the
// texel itself and each neighbour that sees it. Such a texel is left out:
// it draws no line, and its neighbours read the centre in its place.
uniform sampler2D texture0;
uniform sampler2D depthMap;
uniform int useDepthMap;
uniform vec2 invImageSize;
uniform vec2 threshold;
uniform float depthLogRange;
// Texels between neighbours: a picture rendered this many times larger keeps
// the lines' width.
uniform float lineScale;

in vec2 uv;
out vec4 outColor;

// The reciprocal distance of a texel, up to one factor for the whole image:
// exp(-measure * range) is near / distance.
float nearOver(vec2 p, float dx, float dy)
{
    ivec2 texel = ivec2(gl_FragCoord.xy) + ivec2(round(vec2(dx, dy) * max(lineScale, 1.0)));
    texel = clamp(texel, ivec2(0), textureSize(texture0, 0) - 1);
    return exp(-texelFetch(texture0, texel, 0).r * depthLogRange);
}

// How much farther b lies than a, as a share of a's distance (from their
// reciprocal distances).
float farther(float a, float b)
{
    return a / b - 1.0;
}

// t lies farther than a, b and c by more than apart, or nearer than all three.
bool standsApart(float t, float a, float b, float c, float apart)
{
    float da = farther(a, t), db = farther(b, t), dc = farther(c, t);
    return (da > apart && db > apart && dc > apart) || (da < -apart && db < -apart && dc < -apart);
}

void main()
{
    vec2 p = gl_FragCoord.xy * invImageSize;
    float c = nearOver(p, 0.0, 0.0);
    float l = nearOver(p, -1.0, 0.0);
    float r = nearOver(p, 1.0, 0.0);
    float d = nearOver(p, 0.0, -1.0);
    float u = nearOver(p, 0.0, 1.0);
    float ld = nearOver(p, -1.0, -1.0);
    float lu = nearOver(p, -1.0, 1.0);
    float rd = nearOver(p, 1.0, -1.0);
    float ru = nearOver(p, 1.0, 1.0);
    // Apart by what one neighbour alone needs to start a line.
    float apart = 8.0 * threshold.x;
    float line = 0.0;
    bool alone = standsApart(c, l, r, u, apart) && standsApart(c, d, ld, lu, apart) &&
                 standsApart(c, rd, ru, d, apart) && (farther(l, c) > 0.0) == (farther(ru, c) > 0.0);
    if (!alone) {
        // A neighbour apart from the centre and its own two neighbours beside
        // it (the texels of the 3 x 3 block next to it) is such a texel.
        if (standsApart(l, c, ld, lu, apart))
            l = c;
        if (standsApart(r, c, rd, ru, apart))
            r = c;
        if (standsApart(d, c, ld, rd, apart))
            d = c;
        if (standsApart(u, c, lu, ru, apart))
            u = c;
        // The neighbours' 1/z over the centre's.
        float sum = (l + r + d + u) / c;
        float laplacian = 0.125 * abs(sum - 4.0);
        line = smoothstep(threshold.x, threshold.y, laplacian);
    }
    if (useDepthMap == 1)
        line *= texture(depthMap, p).r;
    outColor = vec4(line, 0.0, 0.0, 1.0);
}
