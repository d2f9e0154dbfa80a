// The console's input line: editing keys and the history of earlier lines.
#include "text/CommandConsoleFixture.h"

namespace fs = std::filesystem;

TEST_F(CommandConsoleTest, EditingKeys)
{
    headless->typeText("abc");
    headless->pressKey(GLFW_KEY_BACKSPACE);
    headless->releaseKey(GLFW_KEY_BACKSPACE); // releases do nothing
    headless->swapBuffers();
    EXPECT_EQ(console->inputLine, "ab");
    for (int i = 0; i < 3; ++i)
        press(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(console->inputLine, "");

    // Characters are kept as UTF-8; a backspace takes a whole one, and a
    // value that is no character is dropped.
    console->characterTyped(0x141, GLFW_PRESS);
    console->characterTyped('x', GLFW_RELEASE);
    console->characterTyped(0xD800, GLFW_PRESS);
    EXPECT_EQ(console->inputLine, "\xc5\x81");
    console->characterTyped(0x1F0A1, GLFW_PRESS);
    press(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(console->inputLine, "\xc5\x81");
    press(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(console->inputLine, "");
    console->characterTyped('A', GLFW_PRESS);

    // The cursor shows in the second half of every second.
    const std::pair<double, const char*> blinks[] = {{0.3, "A"}, {0.3, "A_"}, {0.5, "A_"}, {0.1, "A"}, {0.3, "A_"}};
    for (const auto& [dt, shown] : blinks) {
        console->update(dt);
        EXPECT_EQ(console->inputText->text, shown) << console->blinkTime;
    }

    EXPECT_FALSE(console->closeRequested);
    press(GLFW_KEY_TAB);
    EXPECT_TRUE(console->closeRequested);
    EXPECT_EQ(console->inputLine, "A") << "the line survives closing";

    // Once the console is gone its callbacks still installed do nothing.
    console.reset();
    headless->typeText("z");
    headless->pressKey(GLFW_KEY_ENTER);
    headless->swapBuffers();
}

TEST_F(CommandConsoleTest, HistoryKeepsTheLastTwentyLines)
{
    // Commands that work, so no line of theirs joins the scroll-back.
    for (int i = 0; i <= 20; ++i)
        enter("global " + std::to_string(i));
    ASSERT_EQ(console->history.size(), 20u);
    EXPECT_EQ(console->history.front()->text, "global 20");
    EXPECT_EQ(console->history.back()->text, "global 1");
    for (size_t i = 0; i < console->history.size(); ++i) {
        EXPECT_EQ(console->history[i]->x, 20);
        EXPECT_EQ(console->history[i]->y, 800 - 40 - 20 * int(i)) << i;
    }
    EXPECT_EQ(console->inputLine, "");
    EXPECT_EQ(console->inputText->text, "");
    EXPECT_EQ(console->inputText->y, 780);
    EXPECT_EQ(console->inputText->fontFace, font->face("Lucida"));
}

TEST_F(CommandConsoleTest, UpAndDownWalkEarlierCommands)
{
    enter("edge off");
    enter("");
    enter("ghost 1");
    headless->typeText("glob");
    press(GLFW_KEY_UP);
    EXPECT_EQ(console->inputLine, "ghost 1") << "empty lines are not remembered";
    press(GLFW_KEY_UP);
    EXPECT_EQ(console->inputLine, "edge off");
    press(GLFW_KEY_UP);
    EXPECT_EQ(console->inputLine, "edge off") << "nothing older";
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_DOWN);
    EXPECT_EQ(console->inputLine, "glob") << "the draft comes back";
    press(GLFW_KEY_DOWN);
    EXPECT_EQ(console->inputLine, "glob");

    // A recalled line is edited like a typed one and runs as edited.
    scene->edgeMode = true;
    press(GLFW_KEY_UP);
    press(GLFW_KEY_UP);
    press(GLFW_KEY_BACKSPACE);
    press(GLFW_KEY_BACKSPACE);
    headless->typeText("n");
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(console->history.front()->text, "edge on");
    EXPECT_TRUE(scene->edgeMode);
    scene->edgeMode = false;
    press(GLFW_KEY_UP);
    press(GLFW_KEY_ENTER);
    EXPECT_TRUE(scene->edgeMode) << "Up, Enter runs the last command again";
}
