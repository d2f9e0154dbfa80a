#include "render/PictureFilter.h"

#include <algorithm>
#include <cmath>

std::vector<uint8_t> filterPicture(const RenderedPicture& picture, int k, bool transparent)
{
    const size_t samples = size_t(std::max(picture.width, 0)) * size_t(std::max(picture.height, 0));
    if (k < 1 || picture.width % k || picture.height % k || samples == 0 || picture.rgba.size() != samples * 4 ||
        (transparent && (picture.ids.size() != samples || picture.lines.size() != samples)))
        return {};
    const int outW = picture.width / k, outH = picture.height / k;
    std::vector<uint8_t> out(size_t(outW) * outH * 4);
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            // Colour sums premultiplied by coverage, on a 0..255 scale.
            double color[3] = {0, 0, 0}, coverage = 0;
            for (int sy = 0; sy < k; ++sy)
                for (int sx = 0; sx < k; ++sx) {
                    const size_t s = size_t(y * k + sy) * picture.width + size_t(x * k + sx);
                    const uint8_t* c = &picture.rgba[s * 4];
                    // Over white, a sample of coverage a shows a * colour + (1 - a) * 255.
                    const double a = !transparent || picture.ids[s] != 0 ? 1.0 : picture.lines[s] / 255.0;
                    for (int i = 0; i < 3; ++i)
                        color[i] += std::max(c[i] - (1.0 - a) * 255.0, 0.0);
                    coverage += a;
                }
            uint8_t* o = &out[(size_t(y) * outW + x) * 4];
            for (int i = 0; i < 3; ++i) {
                const double v = coverage > 0 ? color[i] / coverage : 255.0;
                o[i] = uint8_t(std::lround(std::clamp(v, 0.0, 255.0)));
            }
            o[3] = uint8_t(std::lround(255.0 * coverage / (k * k)));
        }
    return out;
}
