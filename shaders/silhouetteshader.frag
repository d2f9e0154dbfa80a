#version 330 core
// Silhouette and crease lines from a linear depth image: the absolute
// Laplacian of depth, faded in between threshold.x and threshold.y. With
// useDepthMap the lines are weighted by the blurred cutter mask (ghosting).
uniform sampler2D texture0;
uniform sampler2D depthMap;
uniform int useDepthMap;
uniform vec2 invImageSize;
uniform vec2 threshold;

in vec2 uv;
out vec4 outColor;

void main()
{
    vec2 p = gl_FragCoord.xy * invImageSize;
    float c = texture(texture0, p).r;
    float l = texture(texture0, p - vec2(invImageSize.x, 0.0)).r;
    float r = texture(texture0, p + vec2(invImageSize.x, 0.0)).r;
    float d = texture(texture0, p - vec2(0.0, invImageSize.y)).r;
    float u = texture(texture0, p + vec2(0.0, invImageSize.y)).r;
    float laplacian = abs(4.0 * c - l - r - d - u);
    float line = smoothstep(threshold.x, threshold.y, laplacian);
    if (useDepthMap == 1)
        line *= texture(depthMap, p).r;
    outColor = vec4(line, 0.0, 0.0, 1.0);
}
