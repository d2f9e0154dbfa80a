#version 330 core
// The cutaway depth: the cut that the winning seed imposes on each pixel,
// written as depth (the objects' depth measure, 0 where nothing is cut).
uniform sampler2D texture0;
uniform vec2 invImageSize;

in vec2 uv;
out vec4 outColor;

void main()
{
    vec2 imageSize = 1.0 / invImageSize;
    vec4 s = texelFetch(texture0, ivec2(gl_FragCoord.xy), 0);
    // The same cone as in the flood passes.
    float r = max(distance(gl_FragCoord.xy, s.rg * imageSize) - 0.5, 0.0);
    float slope = s.a / max(1.0 - s.a, 1e-5) * invImageSize.y;
    float c = s.b > 0.0 ? s.b - r * slope : 0.0;
    outColor = s;
    gl_FragDepth = clamp(c, 0.0, 1.0);
}
