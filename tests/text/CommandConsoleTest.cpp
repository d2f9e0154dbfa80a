#include "app/InputState.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "support/GLTestSupport.h"
#include "text/CommandConsole.h"
#include "text/ConsoleHelp.h"

#include <unistd.h>
#include "text/Font.h"
#include "text/Text.h"

#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

// The console as the window sets it up, typed into through the headless
// window's events.
class CommandConsoleTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        dir = fs::path(testing::TempDir()) / ("torv-console-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "tri.obj") << "v -1 -1 0\nv 1 -1 0\nv 0 1 0\nf 1 2 3\n";

        camera = std::make_unique<Camera>(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(0, 0, 0), 800, 800, 0.1f, 1000.0f,
                                          70.0f);
        scene = std::make_unique<Scene>();
        scene->camera = camera.get();
        loader = std::make_unique<SceneLoader>(scene.get());
        loader->modelDirectory = dir.string() + "/";
        loader->sceneDirectory = dir.string() + "/";
        font = std::make_unique<Font>();
        font->loadFaceWithFallback("Lucida", "fonts/LucidaSansTypewriter.ttf", Font::shippedFontPath);
        console = std::make_unique<CommandConsole>(&input, loader.get(), scene.get(), font.get());
        console->consoleOpen = true;
        console->open();
    }
    void TearDown() override
    {
        console.reset();
        font.reset();
        loader.reset();
        scene.reset();
        GLTest::TearDown();
    }

    // Types a line and presses Enter; the events arrive with the next swap.
    void enter(const std::string& line)
    {
        headless->typeText(line);
        headless->pressKey(GLFW_KEY_ENTER);
        headless->swapBuffers();
    }
    void press(int key)
    {
        headless->pressKey(key);
        headless->swapBuffers();
    }
    MeshInstance* instance(int i)
    {
        auto it = std::next(scene->root->children.begin(), i);
        return dynamic_cast<MeshInstance*>((*it)->attachments.front());
    }

    fs::path dir;
    InputState input;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> loader;
    std::unique_ptr<Font> font;
    std::unique_ptr<CommandConsole> console;
};

// The scene-wide switches the console changes.
struct Switches {
    bool edit, edge, directional;
    LineMode lineMode;
    float global, ghost;
    bool operator==(const Switches& o) const
    {
        return edit == o.edit && edge == o.edge && directional == o.directional && lineMode == o.lineMode &&
               global == o.global && ghost == o.ghost;
    }
};
std::ostream& operator<<(std::ostream& os, const Switches& s)
{
    return os << "{edit " << s.edit << " edge " << s.edge << " dir " << s.directional << " lines "
              << static_cast<int>(s.lineMode)
              << " global " << s.global << " ghost " << s.ghost << "}";
}

} // namespace

TEST_F(CommandConsoleTest, SwitchesByTypedLines)
{
    const Switches start{false, true, false, LineMode::Off, 30.0f, 2.0f};
    const std::pair<const char*, std::function<void(Switches&)>> cases[] = {
        {"edit on", [](Switches& s) { s.edit = true; }},
        {"Edit On", [](Switches& s) { s.edit = true; }},
        {"edit  on", [](Switches&) {}},
        {"edge off", [](Switches& s) { s.edge = false; }},
        {"globalangle    45", [](Switches& s) { s.global = 45; }},
        {"global 120", [](Switches& s) { s.global = 90; }},
        {"globalangle -10", [](Switches& s) { s.global = -10; }},
        {"Globalangle 45", [](Switches&) {}},
        {"globalangle abc", [](Switches&) {}},
        {"ghost 7", [](Switches& s) { s.ghost = 4; }},
        {"ghost -2", [](Switches& s) { s.ghost = 0; }},
        {"ghost 1.5x", [](Switches& s) { s.ghost = 1.5f; }},
        {"dirt on", [](Switches& s) { s.directional = true; }},
        {"dir maybe", [](Switches&) {}},
        {"lines ghost", [](Switches& s) { s.lineMode = LineMode::Ghost; }},
        {"line on", [](Switches& s) { s.lineMode = LineMode::On; }},
        {"lines foo", [](Switches&) {}},
        {"line", [](Switches&) {}},
        {"", [](Switches&) {}},
    };
    for (const auto& [line, change] : cases) {
        scene->editMode = start.edit;
        scene->edgeMode = start.edge;
        scene->directionalLight = start.directional;
        scene->lineMode = start.lineMode;
        scene->globalAngle = start.global;
        scene->ghostMultiplier = start.ghost;
        enter(line);
        Switches expected = start;
        change(expected);
        const Switches now{scene->editMode, scene->edgeMode, scene->directionalLight, scene->lineMode,
                           scene->globalAngle, scene->ghostMultiplier};
        EXPECT_EQ(now, expected) << '"' << line << '"';
    }

    // Leaving edit mode also lets go of every handle.
    for (int i = 0; i < Gizmo::handleCount; ++i)
        scene->gizmo->handle(i)->dragState = DragState::Dragged;
    scene->editMode = true;
    enter("EDIT OFF");
    EXPECT_FALSE(scene->editMode);
    for (int i = 0; i < Gizmo::handleCount; ++i)
        EXPECT_EQ(scene->gizmo->handle(i)->dragState, DragState::Idle) << i;
}

TEST_F(CommandConsoleTest, ModelsSelectionAndSceneFiles)
{
    enter("Model tri.obj");
    EXPECT_TRUE(scene->root->children.empty()) << "first tokens are case-sensitive";
    enter("model tri.obj");
    ASSERT_EQ(scene->root->children.size(), 1u);
    MeshInstance* tri = instance(0);
    ASSERT_NE(tri, nullptr);
    EXPECT_EQ(tri->mesh->vertexCount, 3) << "the file was read";
    EXPECT_TRUE(scene->objects.count(tri));
    EXPECT_TRUE(scene->selection.empty());

    // Flags and angles go to the selection only.
    enter("cancut off");
    enter("localangle 10");
    EXPECT_TRUE(tri->canCut);
    EXPECT_EQ(tri->localAngle, -1.0f);
    scene->select(tri);
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"cancut off", [&] { return !tri->canCut; }},
        {"CanCut On", [&] { return tri->canCut; }},
        {"canbecut off", [&] { return !tri->canBeCut; }},
        {"localangle 120", [&] { return tri->localAngle == 90.0f; }},
        {"local 20", [&] { return tri->localAngle == 20.0f; }},
        {"local x", [&] { return tri->localAngle == 20.0f; }},
        {"localangle -1", [&] { return tri->localAngle == -1.0f; }},
    };
    for (const auto& [line, holds] : cases) {
        enter(line);
        EXPECT_TRUE(holds()) << line;
    }

    enter("globalangle 45");
    enter("savescene round.sce");
    ASSERT_TRUE(fs::exists(dir / "round.sce"));
    enter("globalangle 10");
    enter("model tri.obj");
    EXPECT_EQ(scene->root->children.size(), 2u);
    enter("loadscene round.sce");
    ASSERT_EQ(scene->root->children.size(), 1u);
    EXPECT_EQ(scene->globalAngle, 45.0f);
    EXPECT_EQ(scene->selection.size(), 1u) << "the saved selection comes back";
    EXPECT_FALSE(instance(0)->canBeCut);
    enter("loadscene missing.sce");
    EXPECT_EQ(scene->root->children.size(), 1u);
}

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
    for (int i = 0; i <= 20; ++i)
        enter("c" + std::to_string(i));
    ASSERT_EQ(console->history.size(), 20u);
    EXPECT_EQ(console->history.front()->text, "c20");
    EXPECT_EQ(console->history.back()->text, "c1");
    for (size_t i = 0; i < console->history.size(); ++i) {
        EXPECT_EQ(console->history[i]->x, 20);
        EXPECT_EQ(console->history[i]->y, 800 - 40 - 20 * int(i)) << i;
    }
    EXPECT_EQ(console->inputLine, "");
    EXPECT_EQ(console->inputText->text, "");
    EXPECT_EQ(console->inputText->y, 780);
    EXPECT_EQ(console->inputText->fontFace, font->face("Lucida"));
}

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

TEST_F(CommandConsoleTest, FailuresShowInTheScrollBackAsOnStandardOutput)
{
    auto lines = [&] {
        std::vector<std::string> out;
        for (const auto& text : console->history)
            out.push_back(text->text);
        return out;
    };
    const std::string d = dir.string() + "/";
    testing::internal::CaptureStdout();
    enter("model tri.obj");
    enter("savescene ok.sce");
    enter("loadscene ok.sce");
    const std::string quiet = testing::internal::GetCapturedStdout();
    EXPECT_EQ(lines(), (std::vector<std::string>{"loadscene ok.sce", "savescene ok.sce", "model tri.obj"}));

    fs::create_directories(dir / "taken.sce");
    testing::internal::CaptureStdout();
    enter("savescene taken.sce");
    enter("loadscene absent.sce");
    enter("model absent.obj");
    enter("model absent.obj"); // cached as failed: the import prints nothing now
    const std::string printed = testing::internal::GetCapturedStdout();

    std::vector<std::string> shown = lines();
    shown.resize(shown.size() - 3);
    ASSERT_EQ(shown.size(), 9u) << printed;
    EXPECT_EQ(shown[0], "ERROR: model absent.obj could not be imported");
    EXPECT_EQ(shown[1], "model absent.obj");
    EXPECT_EQ(shown[2].rfind("Error while loading Collada file: ", 0), 0u) << shown[2];
    EXPECT_EQ(shown[4], "model absent.obj");
    EXPECT_EQ(shown[5], "ERROR: could not load scene " + d + "absent.sce");
    EXPECT_EQ(shown[6], "loadscene absent.sce");
    EXPECT_EQ(shown[7], "ERROR: could not save scene " + d + "taken.sce");
    EXPECT_EQ(shown[8], "savescene taken.sce");
    // Standard output has the same words, in the order they were printed.
    std::string expected;
    for (const std::string& line : {shown[7], shown[5], shown[2], shown[3], shown[0]})
        expected += line + "\n";
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(quiet.find("ERROR"), std::string::npos) << quiet;
}

// Typed characters beyond ASCII reach the file name whole: no byte of them is
// lost or turned into another character (U+0120's low byte is a space, and
// U+2070's is 'p').
TEST_F(CommandConsoleTest, TypedNamesKeepEveryCharacter)
{
    // As a keyboard delivers them: one code point per character.
    const auto typeLine = [&](const std::vector<unsigned int>& codePoints) {
        headless->typeText("savescene ");
        headless->swapBuffers();
        for (unsigned int c : codePoints)
            console->characterTyped(c, GLFW_PRESS);
        press(GLFW_KEY_ENTER);
    };
    typeLine({'a', 0x120, 'b', '.', 's', 'c', 'e'});
    typeLine({0x2070, 'x', '.', 's', 'c', 'e'});
    EXPECT_TRUE(fs::exists(dir / "a\xc4\xa0" "b.sce"));
    EXPECT_TRUE(fs::exists(dir / "\xe2\x81\xb0x.sce"));
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_FALSE(fs::exists(dir / "px.sce"));
    EXPECT_EQ(console->history.front()->text, "savescene \xe2\x81\xb0x.sce");
}

// What a loadscene's models print about failing shows in the scroll-back; a
// name with a line break is refused in one line, nothing placed.
TEST_F(CommandConsoleTest, LoadsShowTheirModelsFailuresAndNamesWithLineBreaksAreRefused)
{
    fs::create_directories(dir / "folder.obj");
    std::ofstream(dir / "two.sce") << "meshnode\nfile absent.obj\nendmeshnode\nmeshnode\nfile folder.obj\nendmeshnode\n";
    testing::internal::CaptureStdout();
    enter("loadscene two.sce");
    console->executeCommand("model with\nline.obj");
    const std::vector<std::string> refused = console->failureLines;
    const std::string printed = testing::internal::GetCapturedStdout();

    std::vector<std::string> shown;
    for (const auto& text : console->history)
        shown.push_back(text->text);
    ASSERT_EQ(shown.size(), 5u) << printed;
    // Above the command, in the order they were printed.
    EXPECT_EQ(shown[0], "Error while loading Collada file: ");
    EXPECT_NE(shown[1].find("absent.obj"), std::string::npos) << shown[1];
    EXPECT_EQ(shown[2], shown[0]);
    EXPECT_EQ(shown[3], dir.string() + "/folder.obj is a folder, not a model file");
    EXPECT_EQ(shown[4], "loadscene two.sce");
    EXPECT_EQ(refused, std::vector<std::string>{"ERROR: model with\\nline.obj: a name with a line break cannot be "
                                                "saved in a scene file"});
    EXPECT_EQ(scene->root->children.size(), 2u) << "the two empty objects of the scene; nothing more";

    // An absolute name is saved, and named, as it stands.
    testing::internal::CaptureStdout();
    console->executeCommand("savescene " + dir.string() + "/folder.obj");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(console->failureLines, std::vector<std::string>{"ERROR: could not save scene " + dir.string() + "/folder.obj"});
}
