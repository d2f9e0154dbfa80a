#version 330 core
// Lines drawn in near-black over the shaded scene.
uniform sampler2D texture0;
uniform sampler2D texture1;

in vec2 uv;
out vec4 outColor;

void main()
{
    vec3 scene = texture(texture0, uv).rgb;
    float line = texture(texture1, uv).r;
    outColor = vec4(mix(scene, vec3(0.08), line), 1.0);
}
