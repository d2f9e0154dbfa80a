#include "render/VectorDocument.h"

#include "render/SvgGroups.h"

#include <cairo/cairo-pdf.h>
#include <cairo/cairo-svg.h>
#include <cairo/cairo.h>

#include <cmath>

namespace {

// What the combine pass draws lines in.
constexpr double lineGrey = 0.08;

void setRgb(cairo_t* cr, uint32_t rgb, double shade = 1.0)
{
    cairo_set_source_rgb(cr, shade * ((rgb >> 16) & 255) / 255.0, shade * ((rgb >> 8) & 255) / 255.0,
                         shade * (rgb & 255) / 255.0);
}

// The hatch as one repeating tile of the page's own stripes, so that an
// editor sees one pattern fill per cut face.
cairo_pattern_t* hatchPattern(uint32_t rgb, double pageHeight)
{
    cairo_rectangle_t tile = {0, 0, cutHatchPeriod, cutHatchPeriod};
    cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &tile);
    cairo_t* cr = cairo_create(surface);
    setRgb(cr, rgb);
    cairo_paint(cr);
    // Stripes are where x - y + pageHeight, mod the period, is within
    // [0, width): y counted from the top here, from the bottom in the frame.
    double phase = std::fmod(-pageHeight, cutHatchPeriod);
    if (phase < 0)
        phase += cutHatchPeriod;
    for (int n = -2; n <= 1; ++n) {
        const double a = phase + n * cutHatchPeriod;
        const double reach = cutHatchPeriod + 1;
        cairo_move_to(cr, a - 1, -1);
        cairo_line_to(cr, a + cutHatchWidth - 1, -1);
        cairo_line_to(cr, a + cutHatchWidth + reach, reach);
        cairo_line_to(cr, a + reach, reach);
        cairo_close_path(cr);
    }
    setRgb(cr, rgb, cutHatchShade);
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

void appendOutline(cairo_t* cr, const std::vector<OutlineStep>& outline)
{
    for (const OutlineStep& step : outline) {
        switch (step.kind) {
        case OutlineStep::Kind::Move: cairo_move_to(cr, step.x, step.y); break;
        case OutlineStep::Kind::Line: cairo_line_to(cr, step.x, step.y); break;
        case OutlineStep::Kind::Curve: cairo_curve_to(cr, step.x1, step.y1, step.x2, step.y2, step.x, step.y); break;
        case OutlineStep::Kind::Close: cairo_close_path(cr); break;
        }
    }
}

void drawFill(cairo_t* cr, const TracedFill& fill, double pageHeight)
{
    cairo_pattern_t* hatch = nullptr;
    switch (fill.paint) {
    case TracedFill::Paint::Flat:
        setRgb(cr, fill.rgb);
        break;
    case TracedFill::Paint::Hatch:
        hatch = hatchPattern(fill.rgb, pageHeight);
        cairo_set_source(cr, hatch);
        break;
    case TracedFill::Paint::Line:
        cairo_set_source_rgba(cr, lineGrey, lineGrey, lineGrey, fill.opacity);
        break;
    }
    cairo_new_path(cr);
    appendOutline(cr, fill.outline);
    cairo_fill(cr);
    cairo_new_path(cr);
    if (hatch)
        cairo_pattern_destroy(hatch);
}

// Draws the whole picture into cr; the plan records the fills of each group.
void drawPicture(cairo_t* cr, const TracedPicture& picture, const std::map<uint32_t, std::string>& names,
                 const VectorPictureOptions& options, bool groupsAsLayers, std::vector<SvgGroup>& plan)
{
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    if (!options.transparent) {
        cairo_rectangle(cr, 0, 0, options.pageWidth, options.pageHeight);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        plan.push_back({"", 1});
    }
    for (const TracedObject& object : picture.objects) {
        plan.push_back({vectorGroupName(names, object.id), object.fills.size()});
        if (groupsAsLayers)
            cairo_push_group(cr);
        for (const TracedFill& fill : object.fills)
            drawFill(cr, fill, options.pageHeight);
        if (groupsAsLayers) {
            cairo_pop_group_to_source(cr);
            cairo_paint(cr);
        }
    }
    plan.push_back({"lines", picture.lines.size()});
    for (const TracedFill& fill : picture.lines)
        drawFill(cr, fill, options.pageHeight);
}

} // namespace

bool writeVectorDocument(const TracedPicture& picture, const std::map<uint32_t, std::string>& names,
                         const VectorPictureOptions& options, VectorFormat format, std::string& bytes,
                         std::string& reason)
{
    std::string out;
    cairo_surface_t* surface = nullptr;
    if (format == VectorFormat::Svg) {
        surface = cairo_svg_surface_create_for_stream(appendBytes, &out, options.pageWidth, options.pageHeight);
        cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    } else {
        surface = cairo_pdf_surface_create_for_stream(appendBytes, &out, options.pageWidth, options.pageHeight);
    }
    cairo_t* cr = cairo_create(surface);
    std::vector<SvgGroup> plan;
    // A PDF keeps each object's fills together as a group of its own; in SVG
    // cairo would move such a group out of the page, so the fills are
    // grouped by name afterwards instead.
    drawPicture(cr, picture, names, options, format == VectorFormat::Pdf, plan);
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
