// What the frame shows, checked by meaning: which object's id and colour a
// pixel carries, where lines are, how large the cut is. The real application
// runs frame by frame on the headless platform.
//
// Set TORV_PICTURE_DIR to a directory to also get the pictures as PNGs.
#include "interaction/Gizmo.h"
#include "render/JumpFlood.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "support/AppHarness.h"
#include "support/PictureChecks.h"
#include "support/TestScenes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>

namespace {

bool isWhite(const Rgba& p)
{
    return p.r == 255 && p.g == 255 && p.b == 255;
}

struct Pixel {
    int x, y;
};

Pixel projected(AppHarness& h, const Vec3& world)
{
    Pixel p{};
    h.project(world, p.x, p.y);
    return p;
}

float distance(int x, int y, Pixel c)
{
    return std::hypot(static_cast<float>(x - c.x), static_cast<float>(y - c.y));
}

// The darkest pixel within r of (x, y).
int darkestNear(const Shot& s, int x, int y, int r)
{
    int best = 255;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (s.inside(x + dx, y + dy))
                best = std::min(best, luma(s.at(x + dx, y + dy)));
    return best;
}

// Share of points along a projected segment (ends left out) with a line pixel
// (luma below 60) within 2 pixels.
float lineCoverage(const Shot& s, Pixel a, Pixel b)
{
    int hits = 0, samples = 0;
    for (float t = 0.1f; t <= 0.9f; t += 0.02f, ++samples) {
        int x = static_cast<int>(std::lround(a.x + (b.x - a.x) * t));
        int y = static_cast<int>(std::lround(a.y + (b.y - a.y) * t));
        if (darkestNear(s, x, y, 2) < 60)
            ++hits;
    }
    return static_cast<float>(hits) / samples;
}

// Pixels the uncut frame gave to the box that now show something else: another
// object, the background, or the box in another colour (its cut surface).
int openedPixels(const Shot& uncut, const Shot& cut, uint32_t boxId)
{
    return countPixels(cut, [&](int x, int y) {
        return uncut.idAt(x, y) == boxId && (cut.idAt(x, y) != boxId || !sameColor(cut.at(x, y), uncut.at(x, y)));
    });
}

bool sameShot(const Shot& a, const Shot& b)
{
    if (a.ids != b.ids)
        return false;
    for (size_t i = 0; i < a.color.size(); ++i)
        if (!sameColor(a.color[i], b.color[i]))
            return false;
    return true;
}

// The box scene, started, with the camera of the viewer's start.
class PictureOfBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<AppHarness>(testScenes().box, 800, 800, testScenes().dir);
        ASSERT_TRUE(h->started());
        box = h->placed(0);
        ball = h->placed(1);
        ASSERT_TRUE(box && ball);
        centre = projected(*h, Vec3(0, 0, 0));
        // The ball's radius on screen, along the camera's right axis (x).
        ballRadius = static_cast<float>(projected(*h, Vec3(3, 0, 0)).x - centre.x);
        ASSERT_GT(ballRadius, 20.0f);
    }

    Shot frame(int n = 1)
    {
        h->frames(n);
        return h->capture();
    }

    std::unique_ptr<AppHarness> h;
    MeshInstance* box = nullptr;
    MeshInstance* ball = nullptr;
    Pixel centre{};
    float ballRadius = 0;
};

} // namespace

TEST_F(PictureOfBox, UncutBoxIsCellShadedWithOutlinesOnWhite)
{
    Shot s = frame();
    keepPicture(*h, "box_uncut");

    EXPECT_TRUE(isWhite(s.at(5, 5)));
    EXPECT_EQ(s.idAt(5, 5), 0u);
    EXPECT_EQ(s.idAt(centre.x, centre.y), box->id) << "the closed box hides the ball";

    // Cell shading: a few flat bands, not a gradient. Every colour that covers
    // at least 1 % of the box's line-free pixels is one band.
    std::map<uint32_t, int> colours;
    int boxPixels = 0, darkPixels = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (s.idAt(x, y) != box->id)
                continue;
            ++boxPixels;
            const Rgba& p = s.at(x, y);
            if (luma(p) < 60) {
                ++darkPixels;
                continue;
            }
            ++colours[(p.r << 16) | (p.g << 8) | p.b];
        }
    int bands = 0, banded = 0;
    for (auto& c : colours)
        if (c.second * 100 >= boxPixels) {
            ++bands;
            banded += c.second;
        }
    EXPECT_GE(bands, 2) << "top and front face differ";
    EXPECT_LE(bands, 4);
    EXPECT_GT(banded, boxPixels * 9 / 10) << "almost every box pixel lies in a band";
    const Rgba top = s.at(projected(*h, Vec3(0, 8, 0)).x, projected(*h, Vec3(0, 8, 0)).y);
    const Rgba front = s.at(projected(*h, Vec3(0, 0, 8)).x, projected(*h, Vec3(0, 0, 8)).y);
    EXPECT_GT(std::abs(luma(top) - luma(front)), 20);
    EXPECT_GT(front.r, front.b + 5) << "the box's own warm grey";

    // Outlines along the silhouette, and only thin ones.
    const Pixel frontBottomLeft = projected(*h, Vec3(-8, -8, 8)), frontBottomRight = projected(*h, Vec3(8, -8, 8));
    const Pixel frontTopLeft = projected(*h, Vec3(-8, 8, 8)), backTopRight = projected(*h, Vec3(8, 8, -8));
    const Pixel backTopLeft = projected(*h, Vec3(-8, 8, -8));
    EXPECT_GT(lineCoverage(s, frontBottomLeft, frontBottomRight), 0.9f);
    EXPECT_GT(lineCoverage(s, frontBottomLeft, frontTopLeft), 0.9f);
    EXPECT_GT(lineCoverage(s, backTopLeft, backTopRight), 0.9f);
    EXPECT_GT(luma(front), 60) << "no line inside a face";
    EXPECT_LT(darkPixels, boxPixels / 20);

    // Nothing changes between frames without input.
    EXPECT_TRUE(sameShot(s, frame()));
}

TEST_F(PictureOfBox, SelectedBallOpensTheBox)
{
    Shot uncut = frame();
    h->app().selectInstance(ball);
    Shot cut = frame();
    keepPicture(*h, "box_ball_30");
    EXPECT_TRUE(sameShot(cut, frame())) << "the cut must not flicker";

    EXPECT_EQ(cut.idAt(centre.x, centre.y), ball->id);
    const Rgba hole = cut.at(centre.x, centre.y);
    EXPECT_GT(hole.r, hole.g + 80) << "the red ball shows through";
    EXPECT_GT(hole.r, hole.b + 80);

    // A ring around the ball, well inside the 30-degree hole: the box's cut
    // surface, hatched, unlike the box's outside there.
    int ring = 0, boxIds = 0, changed = 0;
    long cutLuma = 0, uncutLuma = 0;
    std::map<int, int> levels;
    for (int y = 0; y < cut.height; ++y)
        for (int x = 0; x < cut.width; ++x) {
            float d = distance(x, y, centre);
            if (d < 1.3f * ballRadius || d > 2.0f * ballRadius)
                continue;
            ++ring;
            if (cut.idAt(x, y) == box->id)
                ++boxIds;
            if (!sameColor(cut.at(x, y), uncut.at(x, y)))
                ++changed;
            cutLuma += luma(cut.at(x, y));
            uncutLuma += luma(uncut.at(x, y));
            ++levels[luma(cut.at(x, y)) / 8];
        }
    ASSERT_GT(ring, 1000);
    EXPECT_GT(boxIds, ring * 98 / 100) << "the cut surface is the box's";
    EXPECT_GT(changed, ring * 9 / 10);
    EXPECT_GT(std::abs(cutLuma - uncutLuma) / ring, 15) << "cut surface shaded like the outside";
    const Pixel topCentre = projected(*h, Vec3(0, 8, -4));
    EXPECT_LT(cutLuma / ring, luma(cut.at(topCentre.x, topCentre.y))) << "darker than the lit top";
    int strongLevels = 0;
    for (auto& l : levels)
        if (l.second * 10 >= ring)
            ++strongLevels;
    EXPECT_GE(strongLevels, 2) << "hatching: two tones in the cut surface";
}

TEST_F(PictureOfBox, HoleFollowsTheCutAngle)
{
    Shot uncut = frame();
    h->app().selectInstance(ball);
    Scene& scene = *h->app().scene;
    auto at = [&](float global, float local) {
        scene.globalAngle = global;
        ball->localAngle = local;
        Shot s = frame();
        char name[64];
        std::snprintf(name, sizeof name, "box_ball_global%g_local%g", global, local);
        keepPicture(*h, name);
        return s;
    };
    Shot a10 = at(10, -1), a30 = at(30, -1), a60 = at(60, -1), a0 = at(0, -1), aMinus20 = at(-20, -1);
    const int o0 = openedPixels(uncut, a0, box->id), o10 = openedPixels(uncut, a10, box->id),
              o30 = openedPixels(uncut, a30, box->id), o60 = openedPixels(uncut, a60, box->id);
    std::printf("opened pixels: 0 deg %d, 10 deg %d, 30 deg %d, 60 deg %d\n", o0, o10, o30, o60);
    EXPECT_GT(o10, o0 * 3 / 2);
    EXPECT_GT(o30, o10 * 3 / 2);
    EXPECT_GT(o60, o30 * 3 / 2);

    // Zero degrees: no cone, only what lies in front of the ball is gone; a
    // negative angle is the same.
    const float discArea = 3.14159f * ballRadius * ballRadius;
    EXPECT_LT(o0, discArea * 1.25f);
    EXPECT_GT(o0, discArea * 0.8f);
    EXPECT_EQ(countPixels(a0,
                          [&](int x, int y) {
                              return uncut.idAt(x, y) == box->id && a0.idAt(x, y) != box->id &&
                                     distance(x, y, centre) > ballRadius + 3;
                          }),
              0);
    EXPECT_TRUE(sameShot(aMinus20, a0)) << "a negative angle cuts like 0 degrees";

    // A local angle wins over the global one; a NaN one does not count.
    EXPECT_TRUE(sameShot(at(60, 10), a10));
    EXPECT_TRUE(sameShot(at(60, std::numeric_limits<float>::quiet_NaN()), a60));
    EXPECT_TRUE(sameShot(at(10, 0), a0)) << "a local 0 is an angle, not 'use the global one'";
}

TEST_F(PictureOfBox, FlagsAndSelectionKeepTheBoxClosed)
{
    Shot uncut = frame();
    h->app().selectInstance(ball);

    box->canBeCut = false;
    Shot s = frame();
    EXPECT_EQ(s.ids, uncut.ids) << "a box that cannot be cut stays closed";
    EXPECT_EQ(openedPixels(uncut, s, box->id), 0);
    box->canBeCut = true;

    ball->canCut = false;
    s = frame();
    EXPECT_EQ(s.ids, uncut.ids) << "a ball that cannot cut opens nothing";
    EXPECT_EQ(openedPixels(uncut, s, box->id), 0);
    ball->canCut = true;

    // Selected objects are never cut: with the box selected too it is whole.
    h->app().selectInstance(box);
    s = frame();
    keepPicture(*h, "box_and_ball_selected");
    EXPECT_EQ(s.ids, uncut.ids);
    EXPECT_GT(luma(s.at(centre.x, centre.y)), luma(uncut.at(centre.x, centre.y))) << "drawn selected (brighter)";
}

TEST_F(PictureOfBox, GizmoHandlesTakeTheIdImageInEditMode)
{
    h->app().selectInstance(ball);
    Scene& scene = *h->app().scene;
    std::set<uint32_t> handles;
    for (int i = 0; i < Gizmo::handleCount; ++i)
        handles.insert(scene.gizmo->handle(i)->id);
    auto handlePixels = [&](const Shot& s, float radius) {
        return countPixels(s, [&](int x, int y) {
            return handles.count(s.idAt(x, y)) && distance(x, y, centre) <= radius;
        });
    };

    scene.editMode = true;
    Shot edit = frame();
    keepPicture(*h, "box_ball_edit");
    // Inside the ball's outline the ball's front is nearer than the handles
    // at its centre, yet the handles own those pixels.
    EXPECT_GT(handlePixels(edit, 0.8f * ballRadius), 100);
    EXPECT_TRUE(handles.count(edit.idAt(centre.x, centre.y)));

    scene.editMode = false;
    Shot view = frame();
    EXPECT_EQ(handlePixels(view, 1e9f), 0);
    EXPECT_EQ(view.idAt(centre.x, centre.y), ball->id);
}

// The front cube stands before the box beside the ball's line of sight, inside
// the ball's cone: cut away, its outline is an uncut-scene line near the
// cutter. The box's own outline and top edge, cut at 60 degrees, are
// uncut-scene lines far from it.
TEST(Picture, LineModesAddUncutLinesEverywhereOrNearTheCutters)
{
    AppHarness h(testScenes().front, 800, 800, testScenes().dir);
    ASSERT_TRUE(h.started());
    MeshInstance* ball = h.placed(1);
    MeshInstance* cube = h.placed(2);
    const Pixel centre = projected(h, Vec3(0, 0, 0));
    const float ballRadius = static_cast<float>(projected(h, Vec3(3, 0, 0)).x - centre.x);

    // Nothing cut: the uncut scene is the cut scene, so every mode draws the
    // same lines.
    Scene& scene = *h.app().scene;
    Shot uncut[3];
    for (int mode : {2, 0, 1}) {
        scene.lineMode = static_cast<LineMode>(mode);
        h.frames(1);
        uncut[mode] = h.capture();
    }
    EXPECT_TRUE(sameShot(uncut[0], uncut[2]));
    EXPECT_TRUE(sameShot(uncut[1], uncut[2]));

    h.app().selectInstance(ball);
    scene.globalAngle = 60;
    Shot byMode[3];
    for (int mode : {2, 0, 1}) {
        scene.lineMode = static_cast<LineMode>(mode);
        h.frames(1);
        byMode[mode] = h.capture();
        keepPicture(h, "front_lines" + std::to_string(mode));
    }
    const Shot& off = byMode[2];
    ASSERT_EQ(countPixels(off, [&](int x, int y) { return off.idAt(x, y) == cube->id; }), 0)
        << "the front cube must be cut away";

    // Lines a mode adds to "off": clearly darker than the same pixel there.
    auto added = [&](const Shot& s, float from, float to) {
        return countPixels(s, [&](int x, int y) {
            float d = distance(x, y, centre);
            return d >= from && d < to && luma(s.at(x, y)) + 40 < luma(off.at(x, y));
        });
    };
    const float near = 2.5f * ballRadius, far = 4.0f * ballRadius, everywhere = 1e9f;
    std::printf("added near/far: on %d/%d, ghost %d/%d\n", added(byMode[0], 0, near), added(byMode[0], far, everywhere),
                added(byMode[1], 0, near), added(byMode[1], far, everywhere));
    EXPECT_GT(added(byMode[0], 0, near), 40) << "'on' shows the cut cube's outline";
    EXPECT_GT(added(byMode[0], far, everywhere), 200) << "'on' shows the box's uncut outline";
    EXPECT_GT(added(byMode[1], 0, near), 15) << "'ghost' shows the cube's outline near the ball";
    EXPECT_LE(added(byMode[1], far, everywhere), 5) << "'ghost' adds nothing far from the ball";

    // The full flood draws the uncut lines wherever the cut region lets it;
    // the coarse one only where the blurred ball can weigh them in ghost mode.
    const bool fullBefore = jumpFlood().fullFlood;
    jumpFlood().fullFlood = true;
    h.frames(1);
    const Shot fullGhost = h.capture();
    jumpFlood().fullFlood = fullBefore;
    EXPECT_LE(countPixels(fullGhost,
                          [&](int x, int y) { return std::abs(luma(fullGhost.at(x, y)) - luma(byMode[1].at(x, y))) > 25; }),
              10);

    // "off" keeps the lines of the cut scene: the ball's outline.
    int ballOutline = 0;
    for (int a = 0; a < 36; ++a) {
        float t = a * 3.14159f / 18;
        int x = centre.x + static_cast<int>(std::lround(ballRadius * std::cos(t)));
        int y = centre.y + static_cast<int>(std::lround(ballRadius * std::sin(t)));
        if (darkestNear(off, x, y, 3) < 60)
            ++ballOutline;
    }
    EXPECT_GE(ballOutline, 32);
}

TEST(Picture, IdsOfTheShippedScenes)
{
    AppHarness h("scenes/s_test.sce");
    ASSERT_TRUE(h.started());
    h.frames(1);
    keepPicture(h, "s_test");
    int x = 0, y = 0;
    h.projectPlaced(4, x, y);
    EXPECT_EQ(h.idAt(x, y), h.placed(4)->id) << "moon";
    h.projectPlaced(0, x, y);
    EXPECT_EQ(h.idAt(x, y), h.placed(0)->id) << "crust";
    EXPECT_EQ(h.idAt(5, 5), 0u);
    EXPECT_EQ(h.idAt(795, 795), 0u);

    // The inner core opens the shells around it; each shell's cut shows in a
    // ring of its own, the outermost ring outside.
    h.app().selectInstance(h.placed(3));
    h.frames(1);
    keepPicture(h, "s_test_core");
    h.projectPlaced(3, x, y);
    EXPECT_EQ(h.idAt(x, y), h.placed(3)->id);
    std::vector<uint32_t> seen;
    for (int dx = 0; dx < 200; ++dx) {
        uint32_t id = h.idAt(x - dx, y);
        if (seen.empty() || seen.back() != id)
            seen.push_back(id);
    }
    std::vector<uint32_t> layers{h.placed(3)->id, h.placed(2)->id, h.placed(1)->id, h.placed(0)->id, 0u};
    EXPECT_EQ(seen, layers) << "core, outer core, mantle, crust, background from the centre out";
}

TEST(Picture, GearOpensTheMachineHousing)
{
    AppHarness h("scenes/machine.sce");
    ASSERT_TRUE(h.started());
    MeshInstance* housing = h.placed(0);
    MeshInstance* gear = h.placed(1);
    h.frames(1);
    // A point on the large gear's face, between bore and teeth.
    const Pixel onGear = projected(h, Vec3(-1.3613f + 3.0f, 0.4357f, 1.0f));
    EXPECT_EQ(h.idAt(onGear.x, onGear.y), housing->id);
    h.app().selectInstance(gear);
    h.frames(1);
    keepPicture(h, "machine_gear");
    EXPECT_EQ(h.idAt(onGear.x, onGear.y), gear->id);
}
