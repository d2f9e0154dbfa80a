#include "app/GLFWGameWindow.h"
#include "app/HeadlessPlatform.h"
#include "gl/GLLoader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// A window whose frames take scripted times on a fake clock.
class ScriptedWindow : public GLFWGameWindow {
public:
    explicit ScriptedWindow(HeadlessPlatform& p) : headless(p)
    {
        headless.setClock([this] { return now; });
    }

    std::vector<double> frameTimes; // time each frame takes, by frame number
    std::vector<double> dts;        // dt each update received
    int inits = 0, shutdowns = 0;
    double now = 0.0;
    InputState input;
    std::vector<bool> keyDownSeen, keyPressedSeen;
    std::function<void(int)> onFrame;

protected:
    void init() override { ++inits; showFps = true; }
    void update(double d) override
    {
        size_t i = dts.size();
        dts.push_back(d);
        pollInput(input);
        keyDownSeen.push_back(input.keyDown['A']);
        keyPressedSeen.push_back(input.keyPressed['A']);
        now += i < frameTimes.size() ? frameTimes[i] : 1.0 / 60.0;
        if (onFrame)
            onFrame(static_cast<int>(i));
    }
    void render() override {}
    void shutdown() override { ++shutdowns; }

private:
    HeadlessPlatform& headless;
};

struct FrameLoopTest : ::testing::Test {
    void SetUp() override { setPlatform(&headless); }
    void TearDown() override { setPlatform(nullptr); }
    HeadlessPlatform headless;
};

} // namespace

TEST_F(FrameLoopTest, DtStartsAtDefaultClampsAndSmoothsUnclamped)
{
    ScriptedWindow w(headless);
    w.frameTimes = {0.25, 0.05, 0.02};
    w.onFrame = [&](int i) { if (i == 3) headless.requestClose(); };
    testing::internal::CaptureStdout();
    ASSERT_TRUE(w.run());
    testing::internal::GetCapturedStdout();

    ASSERT_EQ(w.dts.size(), 4u) << "closing ends the loop after the frame under way";
    EXPECT_DOUBLE_EQ(w.dts[0], 0.016666);
    EXPECT_NEAR(w.dts[1], 0.1, 1e-9) << "a 0.25 s frame hands the clamp to the next update";
    EXPECT_NEAR(w.dts[2], 0.05, 1e-9);
    EXPECT_NEAR(w.dts[3], 0.02, 1e-9);

    // A run of slow frames: every update gets the clamp, while the average
    // follows the time the frames really took.
    ScriptedWindow slow(headless);
    slow.frameTimes.assign(400, 0.25);
    slow.onFrame = [&](int i) { if (i == 399) headless.requestClose(); };
    testing::internal::CaptureStdout();
    ASSERT_TRUE(slow.run());
    testing::internal::GetCapturedStdout();
    EXPECT_NEAR(slow.dts.back(), 0.1, 1e-9);
    EXPECT_GT(slow.averageFrameTime, 0.2) << "the average takes the unclamped time";
    EXPECT_EQ(w.inits, 1);
    EXPECT_EQ(w.shutdowns, 1);
    EXPECT_EQ(headless.title(), "Torv");
}

TEST_F(FrameLoopTest, FpsLineOnceClampedTimesPassInterval)
{
    ScriptedWindow w(headless);
    w.frameTimes.assign(200, 1.0 / 60.0);
    w.averageFrameTime = 1.0 / 60.0;
    w.onFrame = [&](int i) { if (i == 199) headless.requestClose(); };
    testing::internal::CaptureStdout();
    w.run();
    std::string out = testing::internal::GetCapturedStdout();

    std::istringstream lines(out);
    std::string line;
    std::vector<double> rates;
    while (std::getline(lines, line)) {
        ASSERT_NE(line.find(" fps"), std::string::npos) << line;
        rates.push_back(std::stod(line));
    }
    // The first update gets the default dt; 1.5 s of 1/60 s frames is passed
    // on the 91st, so two lines in 200 frames.
    ASSERT_EQ(rates.size(), 2u) << out;
    EXPECT_NEAR(rates[0], 60.0, 0.01);
}

TEST_F(FrameLoopTest, EscapeEndsLoopAndHeldKeyPressesOnce)
{
    ScriptedWindow w(headless);
    w.onFrame = [&](int i) {
        if (i == 1) headless.pressKey('A');
        if (i == 4) headless.pressKey(GLFW_KEY_ESCAPE);
    };
    ASSERT_TRUE(w.run());
    ASSERT_EQ(w.dts.size(), 5u) << "Escape held at the end of a frame ends the loop";
    // The key went down during frame 1's update, so polls from frame 2 see it.
    EXPECT_EQ(w.keyDownSeen, (std::vector<bool>{false, false, true, true, true}));
    EXPECT_EQ(w.keyPressedSeen, (std::vector<bool>{false, false, true, false, false}));
}

TEST(GLVersionCheck, ReportsOldContextsOnStandardError)
{
    char* text = nullptr;
    size_t size = 0;
    FILE* err = open_memstream(&text, &size);
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(checkGLVersion(3, 2, err), 0);
    EXPECT_EQ(checkGLVersion(3, 3, err), 1);
    EXPECT_EQ(checkGLVersion(4, 0, err), 1);
    EXPECT_EQ(checkGLVersion(4, 6, err), 1);
    EXPECT_EQ(checkGLVersion(2, 1, err), 0);
    std::fclose(err);
    std::string s(text, size);
    free(text);
    EXPECT_EQ(s,
              "Error: OpenGL version 3.3 not supported.\n"
              "       Your version is 3.2.\n"
              "       Try updating your graphics driver.\n"
              "Error: OpenGL version 3.3 not supported.\n"
              "       Your version is 2.1.\n"
              "       Try updating your graphics driver.\n");
}
