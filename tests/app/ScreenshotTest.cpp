// The screenshot command against the window's own frame and a frame rendered
// at the larger size directly.
#include "app/Screenshot.h"
#include "scene/Scene.h"
#include "support/AppHarness.h"
#include "support/TestScenes.h"
#include "text/CommandConsole.h"
#include "text/Text.h"

#define STB_IMAGE_IMPLEMENTATION
#include "support/Rasterised.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>

namespace {

// Mean absolute difference per channel, 0 to 255.
double meanDifference(const RgbaImage& a, const Shot& b)
{
    double sum = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const uint8_t* p = a.at(x, y);
            const Rgba& q = b.at(x, y);
            sum += std::abs(p[0] - q.r) + std::abs(p[1] - q.g) + std::abs(p[2] - q.b);
        }
    return sum / (3.0 * b.width * b.height);
}

void selectBoxAndBall(AppHarness& h)
{
    h.app().selectInstance(h.placed(0));
    h.app().scene->lineMode = LineMode::Ghost;
    h.frames(2);
}

} // namespace

TEST(Screenshot, WritesTheWindowWithoutTheConsoleAtOneToFourTimesItsSize)
{
    const std::string dir = makeTempDir();
    Shot direct;
    {
        // The reference: the same view rendered at twice the size directly.
        AppHarness big(testScenes().box, 400, 400, testScenes().dir);
        ASSERT_TRUE(big.started());
        selectBoxAndBall(big);
        direct = big.capture();
    }
    AppHarness h(testScenes().box, 200, 200, testScenes().dir);
    ASSERT_TRUE(h.started());
    selectBoxAndBall(h);
    const Shot window = h.capture();

    h.tapKey(GLFW_KEY_TAB);
    h.type("screenshot " + dir + "/a.png");
    h.tapKey(GLFW_KEY_ENTER);
    h.type("screenshot " + dir + "/b.png 2");
    h.tapKey(GLFW_KEY_ENTER);
    CommandConsole& console = *h.app().console;
    EXPECT_EQ(console.history[0]->text, "wrote " + dir + "/b.png (400 x 400)");
    h.type("screenshot " + dir + "/d.svg 2 transparent antialias 2");
    h.tapKey(GLFW_KEY_ENTER);
    EXPECT_EQ(console.history[0]->text, "wrote " + dir + "/d.svg (400 x 400)");
    std::ifstream svg(dir + "/d.svg");
    std::string head(5, '\0');
    svg.read(&head[0], 5);
    EXPECT_EQ(head, "<?xml");

    RgbaImage a, b;
    ASSERT_TRUE(a.load(dir + "/a.png"));
    ASSERT_TRUE(b.load(dir + "/b.png"));
    EXPECT_EQ(a.width, 200);
    EXPECT_EQ(b.width, 400);
    EXPECT_EQ(b.height, 400);
    EXPECT_EQ(meanDifference(a, window), 0.0) << "exactly the window's frame, console left out";
    EXPECT_LT(meanDifference(b, direct), 0.5);

    // The window goes on at its own size afterwards.
    h.tapKey(GLFW_KEY_TAB);
    const Shot after = h.capture();
    EXPECT_EQ(after.width, 200);
    int changed = 0;
    for (size_t i = 0; i < after.color.size(); ++i)
        changed += after.color[i].r != window.color[i].r || after.color[i].g != window.color[i].g;
    EXPECT_EQ(changed, 0);

    h.tapKey(GLFW_KEY_TAB);
    for (const auto& [line, shown] :
         {std::pair<std::string, std::string>{"screenshot " + dir + "/c.png 5", "screenshot: SCALE is 1, 2, 3 or 4"},
          {"screenshot " + dir + "/none/c.png",
           "screenshot: cannot write " + dir + "/none/c.png: No such file or directory"},
          {"screenshot " + dir + "/c.png antialias 5", "screenshot: antialias K takes K from 1 to 4"},
          {"screenshot " + dir + "/c.png 2 opaque", "screenshot NAME [SCALE] [--outline] [antialias K] [transparent]"},
          {"screenshot", "screenshot NAME [SCALE] [--outline] [antialias K] [transparent]"}}) {
        h.type(line);
        h.tapKey(GLFW_KEY_ENTER);
        EXPECT_EQ(console.history[0]->text, shown);
    }

    // Past the file-size limit (as on a full disk) the old picture stays, the
    // failure is said, and the viewer lives on instead of dying of SIGXFSZ.
    std::ofstream(dir + "/old.png") << "old";
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{512, saved.rlim_max};
    // Ignored here too, so that whatever else this process writes to a file
    // meanwhile (a log) cannot end the test run.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    h.type("screenshot " + dir + "/old.png");
    h.tapKey(GLFW_KEY_ENTER);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(console.history[0]->text, "screenshot: cannot write " + dir + "/old.png: File too large");
    std::ifstream old(dir + "/old.png");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>()), "old");
}
