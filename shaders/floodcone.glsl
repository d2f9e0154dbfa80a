// The coarse flood's seeds, decoded from the RGBA16 seed texel (see
// jumpfloodmeshshader.frag) to (x, y in window pixels, depth + slope / 2,
// slope per pixel), so that the cut a seed imposes at window position p is
//   c = z - w * max(|p - xy|, 0.5),
// which is depth - slope * max(r - 1/2, 0). An empty texel decodes to
// (0, 0, -1, 0), which never wins. Joined into the programs that include it.
uniform vec2 imageSize;

vec4 decodeSeed(vec4 s)
{
    float slope = s.a / max(1.0 - s.a, 1e-5) / imageSize.y;
    return s.b > 0.0 ? vec4(s.rg * imageSize, s.b + 0.5 * slope, slope) : vec4(0.0, 0.0, -1.0, 0.0);
}

float coneDepth(vec4 s, vec2 p)
{
    return s.z - s.w * max(distance(p, s.xy), 0.5);
}
