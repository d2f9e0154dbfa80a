#version 330 core
// Horizontal half of a separable Gaussian over the cutter mask: it reads 8
// texels to either side (blurReach of the renderer).
uniform sampler2D texture0;
uniform vec2 invImageSize;
uniform float multiplier;

in vec2 uv;
out vec4 outColor;

void main()
{
    const float w[5] = float[](0.2270270, 0.1945946, 0.1216216, 0.0540540, 0.0162162);
    vec2 p = gl_FragCoord.xy * invImageSize;
    vec2 step = vec2(invImageSize.x * 2.0, 0.0);
    float sum = texture(texture0, p).r * w[0];
    for (int i = 1; i < 5; ++i)
        sum += (texture(texture0, p + step * float(i)).r + texture(texture0, p - step * float(i)).r) * w[i];
    outColor = vec4(sum, 0.0, 0.0, 1.0);
}
