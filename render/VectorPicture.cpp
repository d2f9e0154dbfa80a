#include "render/VectorPicture.h"

#include <cairo/cairo-pdf.h>
#include <cairo/cairo-svg.h>
#include <cairo/cairo.h>
#include <potracelib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <set>
#include <unordered_map>

namespace {

// What the combine pass draws lines in, and the intensities lines are traced at.
constexpr double lineGrey = 0.08;
constexpr int lineLevels = 4;
// The cut faces' hatch as the cut-surface pass draws it, in page pixels:
// stripes where (x + y counted from the bottom) mod 7 is below 1.5, at 0.7 of
// the face's colour.
constexpr double hatchPeriod = 7.0;
constexpr double hatchWidth = 1.5;
constexpr double hatchShade = 0.7;

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

// Adds the outlines of the mask to cr's path, in page units. False when the
// mask holds nothing potrace keeps.
bool appendOutlines(cairo_t* cr, const Mask& mask, double sx, double sy, const potrace_param_t& param)
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

    potrace_state_t* state = potrace_trace(&param, &bitmap);
    if (!state)
        return false;
    bool any = false;
    if (state->status == POTRACE_STATUS_OK) {
        // Row y of the mask is y in potrace's coordinates, so its outlines
        // need no flip: they only move to the box and scale to the page.
        auto point = [&](const potrace_dpoint_t& p, double& x, double& y) {
            x = (mask.box.x0 + p.x) * sx;
            y = (mask.box.y0 + p.y) * sy;
        };
        for (potrace_path_t* path = state->plist; path; path = path->next) {
            const potrace_curve_t& c = path->curve;
            if (c.n <= 0)
                continue;
            double x, y, x1, y1, x2, y2;
            point(c.c[c.n - 1][2], x, y);
            cairo_move_to(cr, x, y);
            for (int i = 0; i < c.n; ++i) {
                if (c.tag[i] == POTRACE_CORNER) {
                    point(c.c[i][1], x, y);
                    cairo_line_to(cr, x, y);
                    point(c.c[i][2], x, y);
                    cairo_line_to(cr, x, y);
                } else {
                    point(c.c[i][0], x1, y1);
                    point(c.c[i][1], x2, y2);
                    point(c.c[i][2], x, y);
                    cairo_curve_to(cr, x1, y1, x2, y2, x, y);
                }
            }
            cairo_close_path(cr);
            any = true;
        }
    }
    potrace_state_free(state);
    return any;
}

enum class Hatch { Stripe, Between, Edge };

// Where a pixel of the images lies in the hatch the cut-surface pass draws:
// rows of the images count from the top, the frame's from the bottom, and
// the images are pageScale times the page. Pixels too near a stripe's edge
// for the GPU's rounding to be sure are Edge.
Hatch hatchAt(int x, int y, int imageHeight, double pageScale)
{
    const double u = std::fmod((x - y + imageHeight) / pageScale, hatchPeriod);
    const double margin = 0.01;
    if (u < margin || std::fabs(u - hatchWidth) < margin || u > hatchPeriod - margin)
        return Hatch::Edge;
    return u < hatchWidth ? Hatch::Stripe : Hatch::Between;
}

uint32_t rgbAt(const FrameImages& images, size_t pixel)
{
    const uint8_t* c = &images.colors[pixel * 4];
    return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

void setRgb(cairo_t* cr, uint32_t rgb, double shade = 1.0)
{
    cairo_set_source_rgb(cr, shade * ((rgb >> 16) & 255) / 255.0, shade * ((rgb >> 8) & 255) / 255.0,
                         shade * (rgb & 255) / 255.0);
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
        boxes.push_back(std::vector<Entry>(box.begin() + long(cut), box.end()));
        box.resize(cut);
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

// One group of the drawing: the elements its fills made, in order.
struct GroupPlan {
    std::string name; // empty: not wrapped in a group
    size_t fills = 0;
};

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') ? ' ' : c;
        }
    }
    return out;
}

// An XML id made of the name's letters, digits, '-', '.' and '_', starting
// with a letter or '_', unique among those handed out.
std::string xmlId(const std::string& name, std::set<std::string>& taken)
{
    std::string id;
    for (char c : name)
        id += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_') ? c : '_';
    if (id.empty() || !(std::isalpha(static_cast<unsigned char>(id[0])) || id[0] == '_'))
        id = "_" + id;
    std::string unique = id;
    for (int n = 2; taken.count(unique); ++n)
        unique = id + "-" + std::to_string(n);
    taken.insert(unique);
    return unique;
}

// Where the element that starts at `from` ends (one past its last '>'), for
// the elements cairo writes: no '>' inside attribute values, no comments.
size_t elementEnd(const std::string& svg, size_t from)
{
    int depth = 0;
    size_t at = from;
    while (at < svg.size()) {
        const size_t open = svg.find('<', at);
        if (open == std::string::npos)
            return std::string::npos;
        const size_t close = svg.find('>', open);
        if (close == std::string::npos)
            return std::string::npos;
        if (svg[open + 1] == '/')
            --depth;
        else if (svg[close - 1] != '/')
            ++depth;
        at = close + 1;
        if (depth == 0)
            return at;
    }
    return std::string::npos;
}

// cairo writes every fill of a page as one element of the page's group, in
// order, but has no way to name a group of them. Here the fills of each
// object are wrapped in a <g> with the object's name as id and title.
bool nameSvgGroups(std::string& svg, const std::vector<GroupPlan>& plan, std::string& reason)
{
    const size_t defsEnd = svg.find("</defs>");
    const size_t page = svg.find("<g id=\"surface", defsEnd == std::string::npos ? 0 : defsEnd);
    const size_t bodyStart = page == std::string::npos ? page : svg.find('>', page);
    if (bodyStart == std::string::npos) {
        reason = "the drawing has no page";
        return false;
    }
    std::vector<std::pair<size_t, size_t>> elements;
    size_t at = bodyStart + 1;
    size_t bodyEnd = std::string::npos;
    while (at < svg.size()) {
        const size_t next = svg.find('<', at);
        if (next == std::string::npos)
            break;
        if (svg.compare(next, 2, "</") == 0) {
            bodyEnd = next;
            break;
        }
        const size_t end = elementEnd(svg, next);
        if (end == std::string::npos)
            break;
        elements.push_back({next, end});
        at = end;
    }
    size_t expected = 0;
    for (const GroupPlan& g : plan)
        expected += g.fills;
    if (bodyEnd == std::string::npos || elements.size() != expected) {
        reason = "the drawing has " + std::to_string(elements.size()) + " shapes where " +
                 std::to_string(expected) + " were drawn";
        return false;
    }

    std::string out = svg.substr(0, bodyStart + 1) + "\n";
    std::set<std::string> taken;
    size_t e = 0;
    for (const GroupPlan& g : plan) {
        if (!g.name.empty())
            out += "<g id=\"" + xmlId(g.name, taken) + "\">\n<title>" + xmlEscaped(g.name) + "</title>\n";
        for (size_t i = 0; i < g.fills; ++i, ++e)
            out += svg.substr(elements[e].first, elements[e].second - elements[e].first) + "\n";
        if (!g.name.empty())
            out += "</g>\n";
    }
    out += svg.substr(bodyEnd);
    svg.swap(out);
    return true;
}

// The hatch as one repeating tile of the page's own stripes, so that an
// editor sees one pattern fill per cut face.
cairo_pattern_t* hatchPattern(uint32_t rgb, double pageHeight)
{
    cairo_rectangle_t tile = {0, 0, hatchPeriod, hatchPeriod};
    cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &tile);
    cairo_t* cr = cairo_create(surface);
    setRgb(cr, rgb);
    cairo_paint(cr);
    // Stripes are where x - y + pageHeight, mod the period, is within
    // [0, width): y counted from the top here, from the bottom in the frame.
    double phase = std::fmod(-pageHeight, hatchPeriod);
    if (phase < 0)
        phase += hatchPeriod;
    for (int n = -2; n <= 1; ++n) {
        const double a = phase + n * hatchPeriod;
        const double reach = hatchPeriod + 1;
        cairo_move_to(cr, a - 1, -1);
        cairo_line_to(cr, a + hatchWidth - 1, -1);
        cairo_line_to(cr, a + hatchWidth + reach, reach);
        cairo_line_to(cr, a + reach, reach);
        cairo_close_path(cr);
    }
    setRgb(cr, rgb, hatchShade);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_surface_destroy(surface);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    return pattern;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Draws the whole picture into cr; the plan records the fills of each group.
void drawPicture(cairo_t* cr, const FrameImages& images, const std::map<uint32_t, std::string>& names,
                 const VectorPictureOptions& options, bool groupsAsLayers, std::vector<GroupPlan>& plan)
{
    const double sx = options.pageWidth / images.width, sy = options.pageHeight / images.height;
    const double pageScale = images.height / options.pageHeight;
    std::unique_ptr<potrace_param_t, ParamDeleter> param(potrace_param_default());
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);

    if (!options.transparent) {
        cairo_rectangle(cr, 0, 0, options.pageWidth, options.pageHeight);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        plan.push_back({"", 1});
    }

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

    // The fill of one region in the current source; counted for the plan.
    auto fill = [&](const Mask& mask, GroupPlan& group) {
        cairo_new_path(cr);
        if (appendOutlines(cr, mask, sx, sy, *param)) {
            cairo_fill(cr);
            ++group.fills;
        }
        cairo_new_path(cr);
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
                        it->second = int(where == Hatch::Edge ? nearestColor(cutPalette, rgb, {1.0, hatchShade})
                                                              : nearestColor(cutPalette, rgb,
                                                                             {where == Hatch::Stripe ? hatchShade
                                                                                                     : 1.0}));
                    k = -2 - it->second;
                } else {
                    k = -2;
                }
            }

        plan.push_back({vectorGroupName(names, id), 0});
        GroupPlan& group = plan.back();
        if (groupsAsLayers)
            cairo_push_group(cr);
        Mask mask{box, std::vector<uint8_t>(kind.size())};
        // Stacked: each colour's region also holds the colours drawn after
        // it, so neighbouring colours never leave a gap between them; the
        // first also lies under the cut faces.
        for (size_t c = 0; c < palette.size(); ++c) {
            for (size_t i = 0; i < kind.size(); ++i)
                mask.on[i] = kind[i] >= int(c) || (c == 0 && kind[i] <= -2);
            growUnderLaterObjects(mask, images, id);
            setRgb(cr, palette[c]);
            fill(mask, group);
        }
        for (size_t c = 0; c < cutPalette.size(); ++c) {
            for (size_t i = 0; i < kind.size(); ++i)
                mask.on[i] = kind[i] <= -2 - int(c);
            growUnderLaterObjects(mask, images, id);
            cairo_pattern_t* hatch = hatchPattern(cutPalette[c], options.pageHeight);
            cairo_set_source(cr, hatch);
            fill(mask, group);
            cairo_pattern_destroy(hatch);
        }
        if (groupsAsLayers) {
            cairo_pop_group_to_source(cr);
            cairo_paint(cr);
        }
    }

    // Lines fade out at their edges and, in ghost mode, away from the
    // cutters: four nested outlines of rising intensity, each laid over the
    // ones before so that together they cover as much as the line does.
    plan.push_back({"lines", 0});
    Mask lines{Box{0, 0, images.width, images.height}, std::vector<uint8_t>(images.lines.size())};
    for (int level = 1; level <= lineLevels; ++level) {
        const double threshold = 255.0 * (level - 0.5) / lineLevels;
        for (size_t i = 0; i < images.lines.size(); ++i)
            lines.on[i] = images.lines[i] >= threshold;
        cairo_set_source_rgba(cr, lineGrey, lineGrey, lineGrey, 1.0 / (lineLevels + 1 - level));
        fill(lines, plan.back());
    }
}

} // namespace

bool vectorFormatFor(const std::string& path, VectorFormat& format)
{
    if (path.size() < 5)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".svg")
        format = VectorFormat::Svg;
    else if (tail == ".pdf")
        format = VectorFormat::Pdf;
    else
        return false;
    return true;
}

std::string vectorGroupName(const std::map<uint32_t, std::string>& names, uint32_t id)
{
    auto it = names.find(id);
    return it != names.end() && !it->second.empty() ? it->second : "object-" + std::to_string(id);
}

bool drawVectorPicture(const FrameImages& images, const std::map<uint32_t, std::string>& names,
                       const VectorPictureOptions& options, VectorFormat format, std::string& bytes,
                       std::string& reason)
{
    const size_t pixels = size_t(std::max(images.width, 0)) * size_t(std::max(images.height, 0));
    if (pixels == 0 || images.ids.size() != pixels || images.colors.size() != pixels * 4 ||
        images.cut.size() != pixels || images.lines.size() != pixels) {
        reason = "the frame's images do not fit together";
        return false;
    }
    if (!(options.pageWidth > 0) || !(options.pageHeight > 0)) {
        reason = "the page has no size";
        return false;
    }
    std::string out;
    cairo_surface_t* surface = nullptr;
    if (format == VectorFormat::Svg) {
        surface = cairo_svg_surface_create_for_stream(appendBytes, &out, options.pageWidth, options.pageHeight);
        cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    } else {
        surface = cairo_pdf_surface_create_for_stream(appendBytes, &out, options.pageWidth, options.pageHeight);
    }
    cairo_t* cr = cairo_create(surface);
    std::vector<GroupPlan> plan;
    // A PDF keeps each object's fills together as a group of its own; in SVG
    // cairo would move such a group out of the page, so the fills are
    // grouped by name afterwards instead.
    drawPicture(cr, images, names, options, format == VectorFormat::Pdf, plan);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        reason = std::string("cairo: ") + cairo_status_to_string(status);
        return false;
    }
    if (format == VectorFormat::Svg && !nameSvgGroups(out, plan, reason))
        return false;
    bytes.swap(out);
    return true;
}
