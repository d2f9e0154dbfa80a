#pragma once
#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"

class FrameBufferObject;
struct CutReach;

// The cutaway surface
// -------------------
// Depths below are the depth measure all object passes write:
// d(z) = ln(z / n) / ln(f / n) for the eye distance z between the camera's
// near and far planes n and f (0.1 and 1000), so a step in d is a fixed share
// of the distance and a slope in d a relative one.
//
// Seeds. The cutters (selected objects with canCut) are drawn with front
// faces culled and GL_GREATER into a target cleared to depth 0, so each texel
// keeps the farthest cutter back face s behind it. Its RGBA16 texel holds
//   (x_s, y_s)  the window position of the texel centre over the image size,
//   d_s         its depth measure (0 = no seed),
//   a_s         the cone slope code: a_s = G / (1 + G), G = g_s * H, H the
//               image height in pixels and g_s the drop of the cut depth per
//               pixel of screen distance:
//                 g_s = w(D) * cot(theta_s) * (1 + 3 e) / (z_s * ln(f / n)),
//               theta_s = maxTheta of the cutter clamped to [0, pi/2]
//               (negative or NaN: 0), w(D) = 2 D / (H * P[1][1]) the eye-space
//               width of a pixel at depth D, D = the seed's eye distance while
//               "directional" is 1 (a cone along the view direction with a
//               world-space size) and farPlane / 8 while it is 0 (a cone whose
//               size on screen is independent of zoom), e = "edgeCompression"
//               (1 while edge mode is off: a fourfold steeper cone that hugs
//               the cutter's outline).
//
// Cut depth. A seed s imposes on the pixel p at screen distance r = |p - s|
// (pixels, between pixel centres)
//   c_s(p) = d_s - max(r - 1/2, 0) * a_s / max(1 - a_s, 1e-5) / H,
// the depth of a cone opening towards the viewer with half-angle theta_s at
// its apex, the seed's own pixel (a disc of half a pixel); being linear in
// the logarithmic measure, its wall bends toward the line of sight farther out
// (eye distance z_s * exp(-g r ln(f / n))). A zero angle
// codes a_s = 1, a cone so steep that it cuts only the seed's pixel. The cutaway depth is C(p) = max over all seeds of
// c_s(p), clamped to [0, 1]; 0 where no seed reaches. The jump flood
// approximates the maximum: every pass keeps, per pixel, the seed among its
// own texel and the eight texels k away whose c_s(p) is largest, and the
// result pass writes C(p) of the winning seed into its depth attachment.
//
// Inside the cut. A fragment of a cuttable, unselected object at pixel p with
// depth z lies inside the cutaway, and is discarded, when z < C(p).
// cutawayDepthReference() below computes C exactly on the CPU.

// The three flood programs, the flood's own quad and the ready flag: once per
// process, like the context they live in.
struct JumpFloodResources {
    ShaderProgram floodShader{"Jump flooding Shader"};
    ShaderProgram meshShader{"Jump flooding Mesh Shader"};
    ShaderProgram resultShader{"Jump flooding Result Shader"};
    // The coarse flood (see CoarseFlood.h).
    ShaderProgram reduceShader{"Flood Reduce Shader"};
    ShaderProgram coarseShader{"Flood Coarse Shader"};
    ShaderProgram refineShader{"Flood Refine Shader"};
    ShaderProgram resolveShader{"Flood Resolve Shader"};
    Mesh floodQuad;
    bool ready = false;
    // true: every flood runs the full-size passes over the whole image
    // instead of the coarse flood. Starts from TORV_FULL_FLOOD=1.
    bool fullFlood = false;
};
JumpFloodResources& jumpFlood();

void initJumpFlood();
void createFloodTargets(FrameBufferObject targets[2], int width, int height);
// Runs the flood over first (seeded) and second: the coarse flood within
// reach (CoarseFlood.h), or with fullFlood set the full-size passes over the
// whole image. Returns the target whose depth texture holds the cutaway
// depth, or null before initJumpFlood.
FrameBufferObject* floodCutawayDepth(FrameBufferObject& first, FrameBufferObject& second, const CutReach& reach);

// The flood's pass count and the step of each pass, with the float rounding
// the passes use.
int floodPassCount(int width, int height);
void floodSteps(int width, int height, std::vector<std::pair<unsigned, unsigned>>& steps);
// "maxTheta" for an angle in degrees: angle * 3.1415 / 180 in double with the
// single-precision constant, rounded to float.
float maxThetaForAngle(float degrees);

// One seed texel as stored (16-bit channels, 0..65535).
struct SeedTexel {
    uint16_t x, y, depth, slope;
};
// The exact cutaway depth (over farPlane, clamped to [0, 1]) of a width x
// height seed image at every pixel whose coordinates are multiples of stride,
// row by row.
std::vector<float> cutawayDepthReference(const std::vector<SeedTexel>& seeds, int width, int height, int stride);
