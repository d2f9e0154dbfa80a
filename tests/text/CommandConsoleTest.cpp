// Commands typed into the console: switches, models, selection and scene
// files, and what their failures and loads print.
#include "text/CommandConsoleFixture.h"

namespace fs = std::filesystem;

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
