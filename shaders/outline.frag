#version 330 core
// Second half of the dilation, down the column, and the outline itself over
// the finished picture: a band in the selection colour with a dark last
// pixel outside it, so it shows on white, on grey and on any model colour.
// The object under the pointer gets the same outline, fainter.
uniform sampler2D spread;
uniform sampler2D mask;
uniform int reach;
uniform vec3 outlineColor;
uniform vec3 edgeColor;
uniform float hoverOpacity;

out vec4 outColor;

void main()
{
    ivec2 p = ivec2(gl_FragCoord.xy);
    vec2 self = texelFetch(mask, p, 0).rg;
    if (self.r > 0.5)
        discard; // inside a selected object
    int h = textureSize(spread, 0).y;
    vec4 near = vec4(0.0);
    for (int dy = -reach; dy <= reach; ++dy) {
        int y = p.y + dy;
        if (y < 0 || y >= h)
            continue;
        vec4 s = texelFetch(spread, ivec2(p.x, y), 0);
        near.rb = max(near.rb, s.rb);
        if (abs(dy) < reach)
            near.ga = max(near.ga, s.ga);
    }
    if (near.g > 0.5)
        outColor = vec4(outlineColor, 1.0);
    else if (near.r > 0.5)
        outColor = vec4(edgeColor, 0.9);
    else if (self.g > 0.5)
        discard; // inside the hovered object
    else if (near.a > 0.5)
        outColor = vec4(outlineColor, hoverOpacity);
    else if (near.b > 0.5)
        outColor = vec4(edgeColor, hoverOpacity * 0.9);
    else
        discard;
}
