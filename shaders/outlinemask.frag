#version 330 core
// Which pixels show a selected object (red) or the one under the pointer
// (green), read from the object-id image through a table of marks indexed by
// id: 1 selected, 2 under the pointer, 0 neither.
uniform usampler2D ids;
uniform usampler2D marks;

out vec4 outColor;

void main()
{
    uint id = texelFetch(ids, ivec2(gl_FragCoord.xy), 0).r;
    ivec2 size = textureSize(marks, 0);
    uint mark = 0u;
    if (id != 0u && id < uint(size.x * size.y))
        mark = texelFetch(marks, ivec2(int(id) % size.x, int(id) / size.x), 0).r;
    outColor = vec4(mark == 1u ? 1.0 : 0.0, mark == 2u ? 1.0 : 0.0, 0.0, 1.0);
}
