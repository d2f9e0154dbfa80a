#version 330 core
// First half of a square dilation of the marks: along the row, the largest
// mark within reach (red: selected, blue: hovered) and within reach - 1
// (green, alpha), so the last pixel of the outline can be told apart.
uniform sampler2D mask;
uniform int reach;

out vec4 outColor;

void main()
{
    ivec2 p = ivec2(gl_FragCoord.xy);
    int w = textureSize(mask, 0).x;
    vec4 near = vec4(0.0);
    for (int dx = -reach; dx <= reach; ++dx) {
        int x = p.x + dx;
        if (x < 0 || x >= w)
            continue;
        vec2 m = texelFetch(mask, ivec2(x, p.y), 0).rg;
        near.rb = max(near.rb, m);
        if (abs(dx) < reach)
            near.ga = max(near.ga, m);
    }
    outColor = near;
}
