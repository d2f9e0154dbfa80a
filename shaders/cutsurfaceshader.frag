#version 330 core
// Back faces exposed by the cut. A back face is exposed where it lies behind
// the cut surface and in front of the visible front surface that the cell
// pass left at this pixel: the material between the cut surface and it has
// been removed, so its object is what the cut shows. It is drawn at the cut
// surface's depth (plus a tiny share of its own, so the nearest exposed back
// face wins the depth test) and shaded flat with hatching.
uniform vec3 color;
uniform vec3 viewLightPosition;
uniform uint colorID;
uniform sampler2D depthMap;
uniform sampler2D depthFrontFace;
uniform vec2 invImageSize;
uniform float farPlane;

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 baseColor;

out vec4 outColor;
out uint outID;

void main()
{
    vec2 uv = gl_FragCoord.xy * invImageSize;
    float depth = -eyePosition.z / farPlane;
    float cut = texture(depthMap, uv).r;
    float front = texture(depthFrontFace, uv).r;
    if (cut <= 0.0 || depth <= cut || depth >= front)
        discard;
    float hatch = mod(gl_FragCoord.x + gl_FragCoord.y, 7.0) < 1.5 ? 0.7 : 1.0;
    outColor = vec4(baseColor * color * 0.82 * hatch, 1.0);
    outID = colorID;
    // A small step behind the surrounding surfaces outlines the cut rim in
    // the line passes; the share of its own depth orders back faces.
    gl_FragDepth = clamp(cut + 0.0015 + depth * 1e-6, 0.0, 1.0);
}
