#version 330 core
// The cutaway depth: the cut that the winning seed imposes on each pixel,
// written as depth (linear eye distance over farPlane, 0 where nothing is cut).
uniform sampler2D texture0;
uniform vec2 invImageSize;

vec2 imageSize;

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
    vec4 seed = texture(texture0, pixel * invImageSize);
    outColor = seed;
    gl_FragDepth = clamp(cutDepth(seed, pixel), 0.0, 1.0);
}
