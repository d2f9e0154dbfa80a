// Cut frames one after another: the cut passes clear and redraw only what
// the cutters' reach needs, so nothing of an earlier frame's cut may stay.
#include "render/JumpFlood.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "support/AppHarness.h"
#include "support/PictureChecks.h"

#include <gtest/gtest.h>

// The cut passes clear and redraw only what the cutters' reach needs. Cut
// frames after others (a full flood, a deep cut elsewhere) must not keep any
// of theirs: beyond the reach of a cone that cuts nothing the picture is the
// uncut one.
TEST(CutFrames, AfterOtherCutsKeepNoneOfTheirs)
{
    AppHarness h;
    ASSERT_TRUE(h.started());
    TorvWindow& app = h.app();
    Scene& scene = *app.scene;
    const bool fullBefore = jumpFlood().fullFlood;
    auto frame = [&](bool full) {
        jumpFlood().fullFlood = full;
        h.frames(1);
        return h.capture();
    };
    const Shot uncut = frame(false);
    // The inner core opens the globe in the middle of the picture; then the
    // moon cuts, with a cone too narrow to reach the globe.
    app.selectInstance(h.placed(3));
    frame(true);
    frame(false);
    scene.clearSelection();
    h.placed(4)->localAngle = 5;
    app.selectInstance(h.placed(4));
    for (bool full : {false, true}) {
        const Shot moonCut = frame(full);
        const PixelRect reach = app.renderer().seededReach().positive;
        ASSERT_FALSE(reach.empty());
        // Window rows run down, the reach's up; lines reach a few pixels out.
        const int changed = countPixels(moonCut, [&](int x, int y) {
            const int gy = moonCut.height - 1 - y;
            const bool near = x >= reach.x0 - 4 && x < reach.x1 + 4 && gy >= reach.y0 - 4 && gy < reach.y1 + 4;
            return !near && (!sameColor(moonCut.at(x, y), uncut.at(x, y)) || moonCut.idAt(x, y) != uncut.idAt(x, y));
        });
        EXPECT_EQ(changed, 0) << (full ? "full" : "coarse") << " flood";
    }
    jumpFlood().fullFlood = fullBefore;
}
