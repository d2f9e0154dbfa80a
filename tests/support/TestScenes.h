#pragma once
#include <string>

// Controlled scenes for picture and interaction tests, written once per run
// into a temporary directory (models next to the scene files).
//
// box.sce:   0 box (half size 8, at the origin, grey-beige)
//            1 ball (radius 3, at the origin, inside the box, red)
//            2 side cube (half size 2, at (20, 0, 0), blue)
// front.sce: 0 box, 1 ball as above,
//            2 front cube (half size 1.5, at (2, 1, 12), in front of the box
//              beside the ball's line of sight, green)
struct TestScenes {
    std::string dir; // ends with '/'
    std::string box;
    std::string front;
};
const TestScenes& testScenes();
