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

void main()
{
    vec2 p = gl_FragCoord.xy * invImageSize;
    vec2 offset = invImageSize * max(lineScale, 1.0);
    float c = texture(texture0, p).r;
    float l = texture(texture0, p - vec2(offset.x, 0.0)).r;
    float r = texture(texture0, p + vec2(offset.x, 0.0)).r;
    float d = texture(texture0, p - vec2(0.0, offset.y)).r;
    float u = texture(texture0, p + vec2(0.0, offset.y)).r;
    // z_c / z_i = exp((d_c - d_i) * range): the neighbour's 1/z over the centre's.
    float sum = exp((c - l) * depthLogRange) + exp((c - r) * depthLogRange) + exp((c - d) * depthLogRange) +
                exp((c - u) * depthLogRange);
    float laplacian = 0.125 * abs(sum - 4.0);
    float line = smoothstep(threshold.x, threshold.y, laplacian);
    if (useDepthMap == 1)
        line *= texture(depthMap, p).r;
    outColor = vec4(line, 0.0, 0.0, 1.0);
}
