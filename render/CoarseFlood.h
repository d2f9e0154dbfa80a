#pragma once
#include "render/CutReach.h"

#include <vector>

class FrameBufferObject;

// The cutaway depth of JumpFlood.h at a fraction of the full flood's cost,
// computed only where it can change the picture (CutReach.h):
//  1. reduce: each coarse texel stands for a 4 x 4 block of the seed image
//     and keeps one of its seeds, the one that cuts deepest at a point
//     beside the block on the side where its seeds thin out or grow shallow
//     (the side from which the block's seeds win far away);
//  2. flood the coarse image (one pass per halving step, nine fetches each,
//     at 1/16 of the pixels); seeds keep their full-size positions and every
//     comparison evaluates the exact cone;
//  3. refine: each coarse texel tries the full-size seeds within 3 pixels of
//     the seed it won, which undoes the choice of one seed per block;
//  4. resolve at full size: each pixel takes the deepest cut among its own
//     seed and the seeds of the four coarse texels around it.
// All of it runs within reach.exact; the rest of reach.positive gets
// reach.floor / 2 (a cut below every object), the rest of the image 0.
constexpr int coarseFloodCell = 4;

// Floods a seeded flood target (see prepareFloodTargets) and returns the
// target whose depth texture holds the cutaway depth, or null before
// initJumpFlood.
FrameBufferObject* coarseFloodCutawayDepth(FrameBufferObject& seeds, const CutReach& reach);

// The coarse flood's steps (coarse texels) for a region of that many coarse
// texels: halving from the largest power of two below the longer side.
void coarseFloodSteps(int width, int height, std::vector<int>& steps);
