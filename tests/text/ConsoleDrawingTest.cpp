// What the console draws (its panel, prompt and glyphs) and what help and
// unknown lines write into its scroll-back.
#include "text/CommandConsoleFixture.h"

namespace fs = std::filesystem;

TEST_F(CommandConsoleTest, DrawsOverTheLeftHalf)
{
    enter("edge on");
    headless->typeText("edit");
    headless->swapBuffers();
    console->update(0.1);

    // A dark grey backdrop, so that both the white panel and black text show.
    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    console->consoleOpen = false;
    console->draw();
    EXPECT_EQ(readPixel(200, 400).r, 51) << "nothing while closed";
    console->consoleOpen = true;
    console->draw();
    glDisable(GL_CULL_FACE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // 0.6 white over 0.2 grey is 0.68; the right half stays as cleared.
    for (const auto& [x, y] : {std::pair{200, 400}, {390, 10}, {5, 700}})
        EXPECT_NEAR(readPixel(x, y).r, 173, 2) << x << "," << y;
    for (const auto& [x, y] : {std::pair{410, 400}, {790, 790}})
        EXPECT_EQ(readPixel(x, y).r, 51) << x << "," << y;

    auto inkBetween = [](int y0, int y1) {
        std::vector<unsigned char> rgba(size_t(60) * (y1 - y0) * 4);
        glReadPixels(20, y0, 60, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int n = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            n += rgba[i] < 60;
        return n;
    };
    EXPECT_GT(inkBetween(780 - 2, 780 + 11), 20) << "input line";
    EXPECT_GT(inkBetween(760 - 2, 760 + 11), 20) << "newest history line";
    EXPECT_EQ(inkBetween(600, 700), 0);
}

TEST_F(CommandConsoleTest, PromptShowsBeforeAnythingIsTyped)
{
    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    console->draw();
    std::vector<unsigned char> rgba(size_t(18) * 14 * 4);
    glReadPixels(2, 778, 18, 14, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int ink = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        ink += rgba[i] < 60;
    EXPECT_GT(ink, 5);
    EXPECT_EQ(console->inputText->text, "") << "the prompt is not part of the line";
}

// Glyphs whose quads overhang their right neighbour (A, V, W in the shipped
// face) must not cut a column out of it: "AV" shows every ink pixel that
// " V" shows (the face is monospaced, so V starts at the same pen position).
TEST_F(CommandConsoleTest, OverhangingGlyphsDrawWhole)
{
    auto historyLine = [&](const std::string& line) {
        enter(line);
        // The frame's state when the console draws: depth test on, depth cleared.
        glClearColor(1, 1, 1, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        console->draw();
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "the frame's depth test stays on";
        std::vector<unsigned char> rgba(size_t(60) * 20 * 4);
        glReadPixels(20, 756, 60, 20, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    const auto whole = historyLine("AVAW"), alone = historyLine(" V W");
    int inkAlone = 0, lost = 0;
    for (size_t i = 0; i < alone.size(); i += 4) {
        inkAlone += alone[i] < 128;
        lost += alone[i] < 128 && whole[i] > alone[i] + 40;
    }
    ASSERT_GT(inkAlone, 30);
    EXPECT_EQ(lost, 0) << "ink of V and W cut away by the quads before them";
}

TEST_F(CommandConsoleTest, HelpAndAddedCommandsWriteIntoTheScrollBack)
{
    enter("help");
    const std::vector<std::string>& help = consoleHelpLines();
    ASSERT_EQ(console->history.size(), help.size() + 1) << "the whole list fits the scroll-back";
    for (size_t i = 0; i < help.size(); ++i)
        EXPECT_EQ(console->history[i]->text, help[i]) << "read from the top down";
    EXPECT_EQ(console->history.back()->text, "help");
    for (const char* word : {"model", "screenshot", "Ctrl+Z", "Up/Down", "ghost"}) {
        bool found = false;
        for (const std::string& l : help)
            found = found || l.rfind(word, 0) == 0;
        EXPECT_TRUE(found) << word;
    }
    // Every line fits the console's half of the window.
    const FontFace* face = font->face("Lucida");
    ASSERT_NE(face, nullptr);
    for (const std::string& l : help) {
        int width = 0;
        for (unsigned char c : l)
            if (const Glyph* g = face->glyph(int(FT_Get_Char_Index(face->face, c))))
                width += g->advance;
        EXPECT_LT(20 + width, 400) << l;
    }

    std::vector<std::string> seen;
    console->addCommand("echo", [&](const std::vector<std::string>& tokens) { seen = tokens; });
    console->addCommand("edge", [&](const std::vector<std::string>&) { seen = {"added"}; });
    enter("echo  a b");
    EXPECT_EQ(seen, (std::vector<std::string>{"echo", "a", "b"}));
    seen.clear();
    enter("edge off");
    EXPECT_TRUE(seen.empty()) << "built-in rules come first";
    enter("edge sideways");
    EXPECT_EQ(seen, std::vector<std::string>{"added"});

    // Keys the console does not use reach the window.
    std::vector<int> keys;
    console->otherKey = [&](int key) { keys.push_back(key); };
    press('Z');
    press(GLFW_KEY_UP);
    EXPECT_EQ(keys, std::vector<int>{'Z'});
}

// help names every key and click; lines no command takes get a hint naming
// help in the scroll-back, standard output staying as it was; a failed
// `parts` and a model without triangles say why.
TEST_F(CommandConsoleTest, HelpNamesEveryInputAndUnknownLinesGetAHint)
{
    enter("help");
    std::string all;
    for (const std::string& l : consoleHelpLines())
        all += l + "\n";
    for (const char* input : {"orbit", "wheel zoom", "pan", "F focus", "C origin", "Home", "Delete", "Shift+click",
                              "Ctrl+click", "Esc", "drag a square", "Tab"})
        EXPECT_NE(all.find(input), std::string::npos) << input;

    std::ofstream(dir / "points.ply") << "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                                         "property float y\nproperty float z\nend_header\n0 0 0\n1 0 0\n0 1 0\n";
    testing::internal::CaptureStdout();
    for (const char* line : {"global abc", "cancut maybe", "Lines on", "frobnicate 3"}) {
        enter(line);
        ASSERT_GE(console->history.size(), 2u);
        EXPECT_EQ(console->history[1]->text, line);
        EXPECT_NE(console->history[0]->text.find("help"), std::string::npos) << console->history[0]->text;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "hints are for the scroll-back only";
    EXPECT_EQ(console->history[0]->text, "unknown command frobnicate (help lists the commands)");

    testing::internal::CaptureStdout();
    enter("parts absent.obj");
    enter("model points.ply");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(console->history[0]->text.rfind("WARNING: model points.ply has no triangles", 0), 0u)
        << console->history[0]->text;
    EXPECT_EQ(console->history[1]->text, "model points.ply");
    // The import's reason stands above the command, as for `model`.
    EXPECT_EQ(console->history[2]->text.rfind("Error while loading Collada file: ", 0), 0u);
    EXPECT_FALSE(console->history[3]->text.empty());
    EXPECT_EQ(console->history[4]->text, "parts absent.obj");
    EXPECT_EQ(scene->globalAngle, 30.0f) << "a bad value changes nothing";
}
