#version 330 core
// Vertical half of the blur; the multiplier then widens the ghost region by
// amplifying the soft edge of the mask (0 switches ghost lines off).
uniform sampler2D texture0;
uniform vec2 invImageSize;
uniform float multiplier;

in vec2 uv;
out vec4 outColor;

void main()
{
    const float w[5] = float[](0.2270270, 0.1945946, 0.1216216, 0.0540540, 0.0162162);
    vec2 p = gl_FragCoord.xy * invImageSize;
    vec2 step = vec2(0.0, invImageSize.y * 2.0);
    float sum = texture(texture0, p).r * w[0];
    for (int i = 1; i < 5; ++i)
        sum += (texture(texture0, p + step * float(i)).r + texture(texture0, p - step * float(i)).r) * w[i];
    outColor = vec4(clamp(sum * multiplier, 0.0, 1.0), 0.0, 0.0, 1.0);
}
