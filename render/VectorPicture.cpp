#include "render/VectorPicture.h"

#include "scene/SceneFile.h"

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
// Textured objects bring many colours; they are drawn with their most
// frequent ones, the rest taking the nearest of those.
constexpr size_t maxColorsPerObject = 16;

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

// The colours of a region, most frequent first.
std::vector<uint32_t> colorsByFrequency(const std::unordered_map<uint32_t, size_t>& histogram)
{
    std::vector<std::pair<size_t, uint32_t>> counted;
    for (const auto& [rgb, n] : histogram)
        counted.push_back({n, rgb});
    // Ties go to the colour value, so the same images give the same drawing.
    std::sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<uint32_t> colors;
    for (const auto& c : counted)
        colors.push_back(c.second);
    return colors;
}

size_t nearestColor(const std::vector<uint32_t>& palette, uint32_t rgb)
{
    size_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long d = 0;
        for (int shift : {16, 8, 0}) {
            const long diff = long((palette[i] >> shift) & 255) - long((rgb >> shift) & 255);
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
        std::unordered_map<uint32_t, size_t> shaded, cut;
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x) {
                const size_t p = size_t(y) * images.width + x;
                if (images.ids[p] == id)
                    ++(images.cut[p] ? cut : shaded)[rgbAt(images, p)];
            }
        std::vector<uint32_t> palette = colorsByFrequency(shaded);
        if (palette.size() > maxColorsPerObject)
            palette.resize(maxColorsPerObject);
        std::unordered_map<uint32_t, size_t> colorIndex;
        for (const auto& [rgb, n] : shaded)
            colorIndex[rgb] = nearestColor(palette, rgb);

        // Per pixel of the box: -1 another object or none, -2 a cut face,
        // else the colour's place in the palette.
        std::vector<int> kind(size_t(w) * h, -1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t p = size_t(box.y0 + y) * images.width + box.x0 + x;
                if (images.ids[p] == id)
                    kind[size_t(y) * w + x] = images.cut[p] ? -2 : int(colorIndex[rgbAt(images, p)]);
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
                mask.on[i] = kind[i] >= int(c) || (c == 0 && kind[i] == -2);
            growUnderLaterObjects(mask, images, id);
            setRgb(cr, palette[c]);
            fill(mask, group);
        }
        if (!cut.empty()) {
            for (size_t i = 0; i < kind.size(); ++i)
                mask.on[i] = kind[i] == -2;
            growUnderLaterObjects(mask, images, id);
            cairo_pattern_t* hatch = hatchPattern(colorsByFrequency(cut).front(), options.pageHeight);
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

bool writeVectorPicture(const std::string& path, const FrameImages& images,
                        const std::map<uint32_t, std::string>& names, const VectorPictureOptions& options,
                        std::string& reason)
{
    VectorFormat format;
    if (!vectorFormatFor(path, format)) {
        reason = "a drawing's name ends in .svg or .pdf: " + path;
        return false;
    }
    std::string bytes;
    if (!drawVectorPicture(images, names, options, format, bytes, reason))
        return false;
    if (!saveSceneFileAtomically(path, bytes)) {
        reason = "cannot write " + path;
        return false;
    }
    return true;
}
