#include "render/VectorTrace.h"

#include <potracelib.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>

namespace {

// The intensities lines are traced at.
constexpr int lineLevels = 4;

// Gradients and textures bring many colours; an object is drawn with at most
// this many, its cut faces with fewer (their stripes hide fine shades).
constexpr size_t maxShadedColors = 32;
constexpr size_t maxCutColors = 8;

struct Box {
    int x0, y0, x1, y1; // x1, y1 exclusive
};

// A region of the images: one byte per pixel of a box.
struct Mask {
    Box box;
    std::vector<uint8_t> on;
    int width() const { return box.x1 - box.x0; }
    int height() const { return box.y1 - box.y0; }
};

struct ParamDeleter {
    void operator()(potrace_param_t* p) const { potrace_param_free(p); }
};

// The outlines of the mask, in page units; empty when the mask holds nothing
// potrace keeps.
std::vector<OutlineStep> traceOutline(const Mask& mask, double sx, double sy, const potrace_param_t& param)
{
    const int bitsPerWord = 8 * int(sizeof(potrace_word));
    potrace_bitmap_t bitmap;
    bitmap.w = mask.width();
    bitmap.h = mask.height();
    bitmap.dy = (bitmap.w + bitsPerWord - 1) / bitsPerWord;
    std::vector<potrace_word> words(size_t(bitmap.dy) * size_t(bitmap.h), 0);
    bitmap.map = words.data();
    const potrace_word top = potrace_word(1) << (bitsPerWord - 1);
    for (int y = 0; y < bitmap.h; ++y)
        for (int x = 0; x < bitmap.w; ++x)
            if (mask.on[size_t(y) * bitmap.w + x])
                words[size_t(y) * bitmap.dy + x / bitsPerWord] |= top >> (x % bitsPerWord);

    std::vector<OutlineStep> steps;
    potrace_state_t* state = potrace_trace(&param, &bitmap);
    if (!state)
        return steps;
    if (state->status == POTRACE_STATUS_OK) {
        // Row y of the mask is y in potrace's coordinates, so its outlines
        // need no flip: they only move to the box and scale to the page.
        auto point = [&](const potrace_dpoint_t& p, double& x, double& y) {
            x = (mask.box.x0 + p.x) * sx;
            y = (mask.box.y0 + p.y) * sy;
        };
        auto to = [&](OutlineStep::Kind kind, const potrace_dpoint_t& p) {
            OutlineStep step;
            step.kind = kind;
            point(p, step.x, step.y);
            steps.push_back(step);
        };
        for (potrace_path_t* path = state->plist; path; path = path->next) {
            const potrace_curve_t& c = path->curve;
            if (c.n <= 0)
                continue;
            to(OutlineStep::Kind::Move, c.c[c.n - 1][2]);
            for (int i = 0; i < c.n; ++i) {
                if (c.tag[i] == POTRACE_CORNER) {
                    to(OutlineStep::Kind::Line, c.c[i][1]);
                    to(OutlineStep::Kind::Line, c.c[i][2]);
                } else {
                    OutlineStep step;
                    step.kind = OutlineStep::Kind::Curve;
                    point(c.c[i][0], step.x1, step.y1);
                    point(c.c[i][1], step.x2, step.y2);
                    point(c.c[i][2], step.x, step.y);
                    steps.push_back(step);
                }
            }
            steps.push_back({OutlineStep::Kind::Close});
        }
    }
    potrace_state_free(state);
    return steps;
}

enum class Hatch { Stripe, Between, Edge };

// Where a pixel of the images lies in the hatch the cut-surface pass draws:
// rows of the images count from the top, the frame's from the bottom, and
// the images are pageScale times the page. Pixels too near a stripe's edge
// for the GPU's rounding to be sure are Edge.
Hatch hatchAt(int x, int y, int imageHeight, double pageScale)
{
    const double u = std::fmod((x - y + imageHeight) / pageScale, cutHatchPeriod);
    const double margin = 0.01;
    if (u < margin || std::fabs(u - cutHatchWidth) < margin || u > cutHatchPeriod - margin)
        return Hatch::Edge;
    return u < cutHatchWidth ? Hatch::Stripe : Hatch::Between;
}

uint32_t rgbAt(const FrameImages& images, size_t pixel)
{
    const uint8_t* c = &images.colors[pixel * 4];
    return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

int channel(uint32_t rgb, int c)
{
    return int((rgb >> (16 - 8 * c)) & 255);
}

int luminance(uint32_t rgb)
{
    return 299 * channel(rgb, 0) + 587 * channel(rgb, 1) + 114 * channel(rgb, 2);
}

// At most `most` colours that stand for a region's colours: all of them when
// they are few (flat bands), else the means of a median cut of the colour
// cube weighted by pixel counts (gradients, textures). Darkest first.
std::vector<uint32_t> paletteOf(const std::unordered_map<uint32_t, size_t>& histogram, size_t most)
{
    using Entry = std::pair<uint32_t, size_t>;
    std::vector<Entry> all(histogram.begin(), histogram.end());
    std::sort(all.begin(), all.end()); // the same images give the same drawing
    std::vector<std::vector<Entry>> boxes;
    if (!all.empty())
        boxes.push_back(all);
    auto spread = [](const std::vector<Entry>& box, int& axis) {
        int best = -1;
        for (int c = 0; c < 3; ++c) {
            int lo = 255, hi = 0;
            for (const Entry& e : box) {
                lo = std::min(lo, channel(e.first, c));
                hi = std::max(hi, channel(e.first, c));
            }
            if (hi - lo > best) {
                best = hi - lo;
                axis = c;
            }
        }
        return best;
    };
    while (boxes.size() < most) {
        // Split the box whose colours lie furthest apart, weighted by size.
        size_t pick = boxes.size();
        double pickScore = 0;
        int pickAxis = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2)
                continue;
            int axis = 0;
            size_t pixels = 0;
            for (const Entry& e : boxes[i])
                pixels += e.second;
            const double score = double(spread(boxes[i], axis)) * std::sqrt(double(pixels));
            if (score > pickScore) {
                pickScore = score;
                pick = i;
                pickAxis = axis;
            }
        }
        if (pick == boxes.size())
            break;
        std::vector<Entry>& box = boxes[pick];
        std::sort(box.begin(), box.end(), [&](const Entry& x, const Entry& y) {
            return channel(x.first, pickAxis) != channel(y.first, pickAxis)
                       ? channel(x.first, pickAxis) < channel(y.first, pickAxis)
                       : x.first < y.first;
        });
        size_t total = 0, half = 0, cut = 1;
        for (const Entry& e : box)
            total += e.second;
        for (size_t i = 0; i + 1 < box.size(); ++i) {
            half += box[i].second;
            cut = i + 1;
            if (2 * half >= total)
                break;
        }
        // The upper half is taken before boxes grows: growing moves the
        // boxes, and `box` would no longer name the one split.
        std::vector<Entry> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint32_t> palette;
    for (const auto& box : boxes) {
        double sum[3] = {0, 0, 0}, n = 0;
        for (const Entry& e : box) {
            for (int c = 0; c < 3; ++c)
                sum[c] += double(channel(e.first, c)) * e.second;
            n += e.second;
        }
        uint32_t rgb = 0;
        for (int c = 0; c < 3; ++c)
            rgb = rgb << 8 | uint32_t(std::lround(sum[c] / n));
        palette.push_back(rgb);
    }
    std::sort(palette.begin(), palette.end(), [](uint32_t x, uint32_t y) {
        return luminance(x) != luminance(y) ? luminance(x) < luminance(y) : x < y;
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

// The palette entry nearest to rgb once the entries are darkened by one of
// the shades.
size_t nearestColor(const std::vector<uint32_t>& palette, uint32_t rgb, std::initializer_list<double> shades)
{
    size_t best = 0;
    double bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i)
        for (double shade : shades) {
            double d = 0;
            for (int c = 0; c < 3; ++c) {
                const double diff = shade * channel(palette[i], c) - channel(rgb, c);
                d += diff * diff;
            }
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
    return best;
}

void growOnce(Mask& mask, const FrameImages& images, uint32_t id)
{
    const int w = mask.width(), h = mask.height();
    std::vector<uint8_t> grown = mask.on;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            if (mask.on[i])
                continue;
            const uint32_t other = images.ids[size_t(mask.box.y0 + y) * images.width + mask.box.x0 + x];
            if (other <= id)
                continue;
            const bool touches = (x > 0 && mask.on[i - 1]) || (x + 1 < w && mask.on[i + 1]) ||
                                 (y > 0 && mask.on[i - w]) || (y + 1 < h && mask.on[i + w]);
            if (touches)
                grown[i] = 1;
        }
    mask.on.swap(grown);
}

// A region also takes the pixels of objects drawn after it within two pixels
// of it: they cover it there, and so no background shows through the seam
// between two neighbours' outlines, which the tracer rounds independently.
void growUnderLaterObjects(Mask& mask, const FrameImages& images, uint32_t id)
{
    for (int step = 0; step < 2; ++step)
        growOnce(mask, images, id);
}

} // namespace

TracedPicture traceFrame(const FrameImages& images, double pageWidth, double pageHeight)
{
    const double sx = pageWidth / images.width, sy = pageHeight / images.height;
    const double pageScale = images.height / pageHeight;
    std::unique_ptr<potrace_param_t, ParamDeleter> param(potrace_param_default());
    TracedPicture picture;

    std::map<uint32_t, Box> boxes;
    for (int y = 0; y < images.height; ++y)
        for (int x = 0; x < images.width; ++x) {
            const uint32_t id = images.ids[size_t(y) * images.width + x];
            if (id == 0)
                continue;
            auto [it, added] = boxes.try_emplace(id, Box{x, y, x + 1, y + 1});
            if (!added) {
                Box& b = it->second;
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1);
                b.y1 = std::max(b.y1, y + 1);
            }
        }

    // The fill of one region in a paint, kept when the region has outlines.
    auto fill = [&](const Mask& mask, TracedFill::Paint paint, uint32_t rgb, double opacity,
                    std::vector<TracedFill>& fills) {
        std::vector<OutlineStep> outline = traceOutline(mask, sx, sy, *param);
        if (!outline.empty())
            fills.push_back({paint, rgb, opacity, std::move(outline)});
    };

    // Objects in id order; a region grows under the objects after it.
    for (const auto& [id, objectBox] : boxes) {
        const Box box{std::max(objectBox.x0 - 2, 0), std::max(objectBox.y0 - 2, 0),
                      std::min(objectBox.x1 + 2, images.width), std::min(objectBox.y1 + 2, images.height)};
        const int w = box.x1 - box.x0, h = box.y1 - box.y0;
        // Cut faces are counted by their colour between the stripes.
        std::unordered_map<uint32_t, size_t> shaded, cut;
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x) {
                const size_t p = size_t(y) * images.width + x;
                if (images.ids[p] != id)
                    continue;
                if (!images.cut[p])
                    ++shaded[rgbAt(images, p)];
                else if (hatchAt(x, y, images.height, pageScale) == Hatch::Between)
                    ++cut[rgbAt(images, p)];
            }
        const std::vector<uint32_t> palette = paletteOf(shaded, maxShadedColors);
        const std::vector<uint32_t> cutPalette = paletteOf(cut, maxCutColors);
        std::unordered_map<uint32_t, int> shadedIndex, cutIndex[3];

        // Per pixel of the box: -1 another object or none; a shaded colour's
        // place in the palette; or a cut face's colour, its place in the cut
        // palette, counted down from -2.
        std::vector<int> kind(size_t(w) * h, -1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t p = size_t(box.y0 + y) * images.width + box.x0 + x;
                if (images.ids[p] != id)
                    continue;
                const uint32_t rgb = rgbAt(images, p);
                int& k = kind[size_t(y) * w + x];
                if (!images.cut[p]) {
                    auto [it, added] = shadedIndex.try_emplace(rgb, 0);
                    if (added)
                        it->second = int(nearestColor(palette, rgb, {1.0}));
                    k = it->second;
                } else if (!cutPalette.empty()) {
                    // A stripe pixel is the face's colour darkened; one on a
                    // stripe's edge may be either.
                    const Hatch where = hatchAt(box.x0 + x, box.y0 + y, images.height, pageScale);
                    auto [it, added] = cutIndex[int(where)].try_emplace(rgb, 0);
                    if (added)
                        it->second = int(where == Hatch::Edge ? nearestColor(cutPalette, rgb, {1.0, cutHatchShade})
                                                              : nearestColor(cutPalette, rgb,
                                                                             {where == Hatch::Stripe ? cutHatchShade
                                                                                                     : 1.0}));
                    k = -2 - it->second;
                } else {
                    k = -2;
                }
            }

        picture.objects.push_back({id, {}});
        std::vector<TracedFill>& fills = picture.objects.back().fills;
        Mask mask{box, std::vector<uint8_t>(kind.size())};
        // Stacked: each colour's region also holds the colours drawn after
        // it, so neighbouring colours never leave a gap between them; the
        // first also lies under the cut faces.
        for (size_t c = 0; c < palette.size(); ++c) {
            for (size_t i = 0; i < kind.size(); ++i)
                mask.on[i] = kind[i] >= int(c) || (c == 0 && kind[i] <= -2);
            growUnderLaterObjects(mask, images, id);
            fill(mask, TracedFill::Paint::Flat, palette[c], 1.0, fills);
        }
        for (size_t c = 0; c < cutPalette.size(); ++c) {
            for (size_t i = 0; i < kind.size(); ++i)
                mask.on[i] = kind[i] <= -2 - int(c);
            growUnderLaterObjects(mask, images, id);
            fill(mask, TracedFill::Paint::Hatch, cutPalette[c], 1.0, fills);
        }
    }

    // Each of the nested outlines adds as much as makes them together cover
    // as much as the line does.
    Mask lines{Box{0, 0, images.width, images.height}, std::vector<uint8_t>(images.lines.size())};
    for (int level = 1; level <= lineLevels; ++level) {
        const double threshold = 255.0 * (level - 0.5) / lineLevels;
        for (size_t i = 0; i < images.lines.size(); ++i)
            lines.on[i] = images.lines[i] >= threshold;
        fill(lines, TracedFill::Paint::Line, 0, 1.0 / (lineLevels + 1 - level), picture.lines);
    }
    return picture;
}

