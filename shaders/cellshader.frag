#version 330 core
// Cell shading with the cutaway test.
#include "depthmeasure.glsl"
uniform vec3 color;
uniform vec3 viewLightPosition;
uniform uint colorID;
uniform int useDepthMap;
uniform sampler2D depthMap;
uniform vec2 invImageSize;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;
out uint outID;

void main()
{
    float depth = depthMeasure(-eyePosition.z);
    if (useDepthMap == 1) {
        // Inside the cutaway: nearer than the cut surface at this pixel.
        float cut = texture(depthMap, gl_FragCoord.xy * invImageSize).r;
        if (depth < cut)
            discard;
    }
    vec3 n = eyeNormal;
    float len = length(n);
    n = len > 1e-8 ? n / len : vec3(0.0, 0.0, 1.0);
    vec3 l = normalize(viewLightPosition - eyePosition);
    float diffuse = max(dot(n, l), 0.0);
    float band = diffuse > 0.6 ? 1.0 : (diffuse > 0.25 ? 0.8 : 0.6);
    outColor = vec4(baseColor * color * band, 1.0);
    outID = colorID;
    gl_FragDepth = depth;
}
