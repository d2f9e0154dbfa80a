// The GPU jump flood against the exact CPU maximum over all seeds.
#include "render/JumpFlood.h"
#include "scene/MeshInstance.h"
#include "math/Camera.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "support/AppHarness.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

std::vector<SeedTexel> readSeeds(const FrameBufferObject& target)
{
    std::vector<SeedTexel> seeds(static_cast<size_t>(target.width) * target.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, target.width, target.height, GL_RGBA, GL_UNSIGNED_SHORT, seeds.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return seeds;
}

std::vector<float> readDepth(const FrameBufferObject& target)
{
    std::vector<float> depth(static_cast<size_t>(target.width) * target.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glReadPixels(0, 0, target.width, target.height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return depth;
}

// Share of sampled pixels where a flood and the reference agree within
// tolerance (depth measure); also how many pixels are cut at all.
struct Agreement {
    double share;
    size_t sampled;
    size_t cut;
};

// Cut depths as the cell pass sees them: no fragment of an unselected object
// is nearer than floor, so every cut up to it acts as none.
Agreement agreement(const std::vector<float>& gpu, const std::vector<float>& cpu, int w, int hgt, int stride,
                    float tolerance, float floor)
{
    auto seen = [floor](float v) { return std::max(v, floor); };
    Agreement a{0.0, 0, 0};
    size_t agree = 0, i = 0;
    for (int y = 0; y < hgt; y += stride) {
        for (int x = 0; x < w; x += stride, ++i) {
            float c = cpu[i];
            if (std::fabs(seen(gpu[static_cast<size_t>(y) * w + x]) - seen(c)) <= tolerance)
                ++agree;
            if (c > 0.0f)
                ++a.cut;
        }
    }
    a.sampled = i;
    a.share = static_cast<double>(agree) / i;
    return a;
}

// The coarse flood and the full flood of the same seeds against the exact
// maximum over those seeds.
void compareFloodsWithReference(AppHarness& h, int stride, float tolerance, Agreement& coarse, Agreement& full)
{
    TorvWindow& app = h.app();
    app.scene->root->update(app.camera->view, 1.0f);
    Renderer& r = app.renderer();
    EXPECT_TRUE(r.seedCutawayDepth(*app.scene, *app.camera));
    const FrameBufferObject& seeded = r.target(RenderTarget::Flood0);
    // A read-back does not always wait for the seeding draws on llvmpipe.
    glFinish();
    std::vector<SeedTexel> seeds = readSeeds(seeded);
    const int w = seeded.width, hgt = seeded.height;
    std::vector<float> cpu = cutawayDepthReference(seeds, w, hgt, stride);
    const bool fullBefore = jumpFlood().fullFlood;
    // The coarse flood only reads the seed target; the full one writes it.
    for (bool useFull : {false, true}) {
        jumpFlood().fullFlood = useFull;
        FrameBufferObject* result = r.floodSeededTargets();
        EXPECT_NE(result, nullptr);
        std::vector<float> gpu = readDepth(*result);
        (useFull ? full : coarse) = agreement(gpu, cpu, w, hgt, stride, tolerance, r.seededReach().floor);
    }
    jumpFlood().fullFlood = fullBefore;
}

std::string threeCutterScene()
{
    std::string dir = makeTempDir();
    writeBoxObj(dir, "box", 8.0f, Vec3(0.8f, 0.8f, 0.7f));
    writeSphereObj(dir, "ball", 2.5f, Vec3(0.9f, 0.2f, 0.2f));
    std::ofstream sce(dir + "/three.sce");
    sce << "global 25\n\nmeshnode\nfile box.obj\nendmeshnode\n";
    const float spots[3][3] = {{-4, 2, 0}, {3, -2, -3}, {2, 4, 3}};
    for (const auto& p : spots)
        sce << "meshnode\nfile ball.obj\nt " << p[0] << " " << p[1] << " " << p[2] << "\nendmeshnode\n";
    // Different cone per cutter: a local angle on the second one.
    sce << "meshnode\nfile ball.obj\nt -3 -4 4\nlocal 50\nendmeshnode\n";
    return dir;
}

} // namespace

// Agreement is measured on every 3rd pixel in x and y (71 289 samples at
// 800 x 800, every position within the coarse flood's 4 x 4 blocks); 0.25
// world units of cut depth is the tolerance: a seed the flood misses by a
// pixel or two moves the cut by less than that.
constexpr float kTolerance = 0.25f / 400.0f;
constexpr int kStride = 3;

// Both floods against the reference from two views, one per cone angle,
// with edge mode on and off. The coarse flood (the default) must agree on
// 99.9 % of the pixels; the full flood's share is printed beside it.
void expectAgreementEverywhere(AppHarness& h, const char* what, size_t minimumCut)
{
    Scene& scene = *h.app().scene;
    const struct {
        Vec3 eye;
        float angle;
    } views[2] = {{Vec3(0, 20, 50), 30.0f}, {Vec3(-38, -12, 30), 55.0f}};
    for (const auto& view : views) {
        h.placeCamera(view.eye, Vec3(0, 0, 0));
        scene.setGlobalAngle(view.angle);
        for (bool edge : {true, false}) {
            scene.edgeMode = edge;
            Agreement coarse{}, full{};
            compareFloodsWithReference(h, kStride, kTolerance, coarse, full);
            std::printf("%s, eye (%g, %g, %g), %g degrees, edge %s: coarse %.3f%%, full %.3f%% of %zu (%zu cut)\n",
                        what, view.eye.x, view.eye.y, view.eye.z, view.angle, edge ? "on" : "off",
                        coarse.share * 100.0, full.share * 100.0, coarse.sampled, coarse.cut);
            std::fflush(stdout);
            EXPECT_GT(coarse.cut, minimumCut) << "the cutters must open a hole";
            EXPECT_GE(coarse.share, 0.999) << what << ", " << view.angle << " degrees, edge " << edge;
        }
    }
}

TEST(CutawayReference, FloodAgreesWithExactMaximumOnStartScene)
{
    AppHarness h("scenes/s_test.sce");
    ASSERT_TRUE(h.started());
    h.app().selectInstance(h.placed(3)); // the inner core
    expectAgreementEverywhere(h, "start scene", 1000);
}

TEST(CutawayReference, FloodAgreesWithExactMaximumWithSeveralCutters)
{
    std::string dir = threeCutterScene();
    AppHarness h(dir + "/three.sce", 800, 800, dir + "/");
    ASSERT_TRUE(h.started());
    for (int i = 1; i <= 4; ++i)
        h.app().selectInstance(h.placed(i));
    ASSERT_EQ(h.app().scene->selection.size(), 4u);
    expectAgreementEverywhere(h, "four cutters", 2000);
}

TEST(CutawayReference, StepSequenceAndAngleFactor)
{
    std::vector<std::pair<unsigned, unsigned>> steps;
    floodSteps(800, 800, steps);
    std::vector<unsigned> xs;
    for (auto& s : steps)
        xs.push_back(s.first);
    EXPECT_EQ(xs, (std::vector<unsigned>{400, 200, 100, 50, 25, 13, 7, 4, 2, 1}));
    floodSteps(1280, 720, steps);
    ASSERT_EQ(steps.size(), 11u);
    EXPECT_EQ(steps[4], (std::pair<unsigned, unsigned>(40, 23)));
    EXPECT_EQ(steps[10], (std::pair<unsigned, unsigned>(1, 1)));
    floodSteps(1024, 768, steps);
    EXPECT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[8], (std::pair<unsigned, unsigned>(2, 2)));
    EXPECT_EQ(floodPassCount(1, 1), 0);
    floodSteps(1, 64, steps);
    for (auto& s : steps)
        EXPECT_EQ(s.first, 0u) << "a one-pixel axis keeps a zero step";

    EXPECT_FLOAT_EQ(maxThetaForAngle(30.0f), 0.5235834f);
    EXPECT_FLOAT_EQ(maxThetaForAngle(90.0f), 1.57075f);
}
