#pragma once

class Camera;
class Renderable;
class Scene;

// Where the cutaway can change the picture. A cone's cut depth falls
// linearly with screen distance from its seed, so a seed of depth d and
// slope g (per pixel, JumpFlood.h) reaches depth 0 at d / g + 1/2 pixels.
// The frame, however, only asks whether a fragment lies nearer than the cut,
// and no fragment of an unselected object is nearer than `floor`, the depth
// of the nearest corner of their boxes: every cut below it leaves the picture
// as any other positive cut does. So the exact depth is needed only within
// (d - floor) / g + 1/2 pixels of the cutters (`exact`), and beyond that up to
// the reach of depth 0 (`positive`) any value in (0, floor) serves.
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // pixels [x0, x1) x [y0, y1)
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    long long area() const { return empty() ? 0 : static_cast<long long>(x1 - x0) * (y1 - y0); }
};

struct CutReach {
    PixelRect exact;
    PixelRect positive;
    float floor = 0.0f;
    // The cutters' own rectangles on screen, a pixel wider (the whole image
    // when one is unknown).
    PixelRect cutters;
};

// The pixels both rectangles hold.
PixelRect intersect(const PixelRect& a, const PixelRect& b);

// The reach of the cutters selected in scene (canCut) for an image of width x
// height pixels seen by camera, as the seeding will draw them (farPlane: the
// reference depth of cones without "directional"). Conservative: unknown
// renderables, boxes crossing the near plane and flat cones widen it to the
// whole image and lower the floor to 0.
CutReach cutReach(const Scene& scene, const Camera& camera, int width, int height, float farPlane);

// False only when nothing r draws can land in rect (window pixels of a
// width x height image): its box lies wholly beyond the near plane and its
// rectangle on screen, a pixel wider on every side, misses rect. Passes that
// draw only within rect leave such objects out.
bool mayDrawInto(Renderable* r, const Camera& camera, int width, int height, const PixelRect& rect);

// The depth measure of an eye distance for a projection (as the shaders
// compute it) and the slope code the seeding stores for a cone (JumpFlood.h).
float depthMeasureOf(float eyeDistance, float nearPlane, float farDistance);
float slopeCode(float eyeDistance, float theta, float pixelScale, float logRange, bool directional, bool edgeMode,
                float farPlane, int height);
