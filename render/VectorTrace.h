#pragma once
// Tracing one frame's images into outlines for a vector drawing: each
// object's visible region per colour, its cut faces per colour, and the lines
// at a few intensities, as closed curves in page units. Draws nothing.
#include "render/VectorPicture.h"

#include <cstdint>
#include <vector>

// The cut faces' hatch as the cut-surface pass draws it, in page pixels:
// stripes where (x + y counted from the bottom) mod the period is below the
// width, at the shade of the face's colour.
constexpr double cutHatchPeriod = 7.0;
constexpr double cutHatchWidth = 1.5;
constexpr double cutHatchShade = 0.7;

// One step of an outline, in page units, y down.
struct OutlineStep {
    enum class Kind { Move, Line, Curve, Close };
    Kind kind = Kind::Move;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a curve's control points
    double x = 0, y = 0;                   // where the step ends
};

// One filled region: closed outlines, filled by the even-odd rule.
struct TracedFill {
    enum class Paint {
        Flat,  // rgb
        Hatch, // the cut faces' hatch, rgb between the stripes
        Line,  // the lines' grey at opacity
    };
    Paint paint = Paint::Flat;
    uint32_t rgb = 0;
    double opacity = 1.0;
    std::vector<OutlineStep> outline; // never empty
};

// One object's fills in drawing order: its colours darkest first, each
// region also holding the colours after it (the first also the cut faces),
// so that neighbouring colours leave no gap; then its cut faces. Every region
// also takes the pixels of objects drawn after it within two pixels of it:
// they cover it there, and so no background shows through the seam between
// two neighbours' outlines, which the tracer rounds independently.
struct TracedObject {
    uint32_t id = 0;
    std::vector<TracedFill> fills;
};

struct TracedPicture {
    std::vector<TracedObject> objects; // every object the ids show, in id order
    // The lines over everything: nested outlines of rising intensity, each
    // laid over the ones before, so that together they fade out as the
    // lines do at their edges and, in ghost mode, away from the cutters.
    std::vector<TracedFill> lines;
};

// Traces images whose sizes fit together (width x height, all present) onto
// a page of pageWidth x pageHeight.
TracedPicture traceFrame(const FrameImages& images, double pageWidth, double pageHeight);
