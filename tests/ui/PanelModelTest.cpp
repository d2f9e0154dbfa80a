// The panel's logic without a window: tree rows from the scene, what a row
// click and a switch do, the settings as console lines, hiding, the chooser
// and the message log.
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneFile.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/SceneSnapshot.h"
#include "text/ConsoleCommand.h"
#include "ui/MessageLog.h"
#include "ui/PanelModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct RecordedActions : PanelActions {
    void selectObject(MeshInstance* object, bool add) override { selected.push_back({object, add}); }
    void frameSelection() override { ++framed; }
    void runCommand(const std::string& line) override { commands.push_back(line); }
    void openModel(const std::string&, bool) override {}
    void openScene(const std::string&) override {}
    void saveScene(const std::string&) override {}
    void saveScreenshot(const std::string&) override {}
    std::vector<std::pair<MeshInstance*, bool>> selected;
    int framed = 0;
    std::vector<std::string> commands;
};

// A scene placed by hand: meshes named as the loader names them, no GL.
class PanelScene : public ::testing::Test {
protected:
    MeshInstance* place(const std::string& model, const std::string& part = "")
    {
        meshes.push_back(std::make_unique<Mesh>());
        Mesh* mesh = meshes.back().get();
        mesh->indexCount = 30;
        loader.namesByModel[mesh] = model;
        if (!part.empty())
            loader.partIdsByMesh[mesh] = part;
        SceneNode* node = loader.createInstance(mesh);
        return static_cast<MeshInstance*>(node->attachments.front());
    }
    std::vector<std::string> labels(const std::vector<PanelRow>& rows)
    {
        std::vector<std::string> out;
        for (const PanelRow& r : rows)
            out.push_back(std::string(size_t(r.depth), '-') + r.label);
        return out;
    }

    Scene scene;
    SceneLoader loader{&scene};
    std::vector<std::unique_ptr<Mesh>> meshes;
    RecordedActions actions;
    PanelModel model{scene, loader, actions};
};

} // namespace

TEST_F(PanelScene, RowsGatherPartsUnderTheirFileInPlacingOrder)
{
    MeshInstance* globe = place("globe.obj");
    MeshInstance* piston = place("/data/My Models/engine.glb", "nodes[5]");
    place("moon.ply");
    MeshInstance* crank = place("/data/My Models/engine.glb", "nodes[2]");
    scene.select(piston);
    scene.hide(globe);

    const std::vector<PanelRow> rows = buildPanelRows(scene, loader);
    EXPECT_EQ(labels(rows), (std::vector<std::string>{"globe.obj", "engine.glb", "-nodes[5]", "-nodes[2]", "moon.ply"}));
    EXPECT_EQ(rows[1].name, "/data/My Models/engine.glb");
    EXPECT_EQ(rows[1].objects, (std::vector<MeshInstance*>{piston, crank}));
    EXPECT_TRUE(rows[0].hidden);
    EXPECT_TRUE(rows[2].selected);
    EXPECT_FALSE(rows[1].selected) << "one part of two is selected";
    EXPECT_EQ(objectLabel(*crank, loader), "nodes[2]");
    EXPECT_EQ(objectLabel(*globe, loader), "globe.obj");

    const PanelStatus status = countScene(scene);
    EXPECT_EQ(status.objects, 4);
    EXPECT_EQ(status.hiddenObjects, 1);
    EXPECT_EQ(status.triangles, 30) << "three visible meshes of ten triangles";
}

TEST_F(PanelScene, RowClicksSelectAsThePictureDoesAndSwitchesReachTheirObjects)
{
    place("globe.obj");
    MeshInstance* a = place("engine.glb", "a");
    MeshInstance* b = place("engine.glb", "b");
    MeshInstance* c = place("engine.glb", "c");
    scene.hide(b);
    std::vector<PanelRow> rows = buildPanelRows(scene, loader);
    ASSERT_EQ(rows.size(), 5u);

    model.clickRow(rows[2], true);
    model.clickRow(rows[1], false); // the file: its visible parts, the first replacing
    model.clickRow(rows[3], false); // hidden: nothing
    EXPECT_EQ(actions.selected, (std::vector<std::pair<MeshInstance*, bool>>{{a, true}, {a, false}, {c, true}}));
    EXPECT_EQ(actions.framed, 0);
    scene.select(a);
    model.doubleClickRow(rows[2]);
    EXPECT_EQ(actions.framed, 1);

    model.setCanCut(rows[1], false);
    model.setCanBeCut(rows[4], false);
    model.setOwnAngle(rows[2], 120);
    EXPECT_FALSE(a->canCut || b->canCut || c->canCut);
    EXPECT_TRUE(a->canBeCut && b->canBeCut);
    EXPECT_FALSE(c->canBeCut);
    EXPECT_EQ(a->localAngle, 90.0f);
    model.setOwnAngle(rows[2], -0.5f);
    EXPECT_EQ(a->localAngle, -1.0f) << "below zero is the scene's angle";

    model.setVisible(rows[1], false);
    EXPECT_TRUE(scene.selection.empty() && scene.objects.size() == 1u) << "hiding deselects";
    model.setVisible(rows[3], true);
    EXPECT_TRUE(scene.objects.count(b));
    EXPECT_FALSE(scene.isHidden(b));
}

TEST_F(PanelScene, SettingsAreConsoleLinesThatParseBack)
{
    model.setGlobalAngle(42.5f);
    model.setLineMode(1);
    model.setGhostReach(2.25f);
    model.setEdgeMode(false);
    model.setDirectional(true);
    model.setLineMode(7); // no such mode: nothing
    ASSERT_EQ(actions.commands,
              (std::vector<std::string>{"global 42.5", "lines ghost", "ghost 2.25", "edge off", "dir on"}));
    EXPECT_EQ(parseConsoleCommand(actions.commands[0]).value, 42.5f);
    EXPECT_EQ(parseConsoleCommand(actions.commands[1]).lineMode, LineMode::Ghost);
    EXPECT_EQ(parseConsoleCommand(actions.commands[2]).value, 2.25f);
    EXPECT_EQ(parseConsoleCommand(actions.commands[3]).action, ConsoleAction::EdgeOff);
    EXPECT_TRUE(parseConsoleCommand(actions.commands[4]).flag);
}

TEST_F(PanelScene, HiddenObjectsLeaveTheSetsAndComeBackThroughUndoAndFiles)
{
    MeshInstance* a = place("globe.obj");
    MeshInstance* b = place("moon.ply");
    scene.select(a);
    const SceneSnapshot before = captureScene(scene);
    scene.hide(a);
    scene.hide(a);
    EXPECT_EQ(scene.selection.size() + scene.objects.size(), 1u);
    scene.insertObject(a); // what attaching does: a hidden object stays out
    EXPECT_FALSE(scene.objects.count(a));
    const SceneSnapshot after = captureScene(scene);
    EXPECT_FALSE(after.sameContent(before));
    restoreScene(scene, loader, before);
    EXPECT_TRUE(scene.objects.count(a) && !scene.isHidden(a));
    restoreScene(scene, loader, after);
    EXPECT_TRUE(scene.isHidden(a));

    // Saved as hidden on a line of its own; a block without it is shown.
    std::ostringstream text;
    ScenePlacement hidden{}, shown{};
    hidden.file = "globe.obj";
    hidden.hidden = true;
    shown.file = "moon.ply";
    writeSceneText(text, 30, {hidden, shown});
    EXPECT_NE(text.str().find("hidden on\nendmeshnode"), std::string::npos);
    std::istringstream in(text.str());
    const SceneFileContents back = parseSceneText(in);
    ASSERT_EQ(back.placements.size(), 2u);
    EXPECT_TRUE(back.placements[0].hidden);
    EXPECT_FALSE(back.placements[1].hidden);
    scene.removeRenderable(a);
    EXPECT_FALSE(scene.isHidden(a));
    (void)b;
}

TEST(PanelChooser, ListsFoldersThenOpenableFilesAndJoinsNames)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("torv-chooser-" + std::to_string(::getpid()));
    fs::create_directories(dir / "b-folder");
    fs::create_directories(dir / "a-folder");
    fs::create_directories(dir / ".hidden");
    for (const char* name : {"z.obj", "scene.sce", "notes.txt", "m.GLB", ".x.obj"})
        std::ofstream(dir / name) << "x";
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(listFolder(dir.string(), entries));
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back((e.folder ? "/" : "") + e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"/a-folder", "/b-folder", "m.GLB", "scene.sce", "z.obj"}));
    EXPECT_FALSE(listFolder((dir / "none").string(), entries));
    fs::remove_all(dir);

    EXPECT_EQ(joinPath("models", "a.obj"), "models/a.obj");
    EXPECT_EQ(joinPath("models/", "a.obj"), "models/a.obj");
    EXPECT_EQ(joinPath("models", "/abs/a.obj"), "/abs/a.obj");
    EXPECT_EQ(withExtension("view", ".sce"), "view.sce");
    EXPECT_EQ(withExtension("view.png", ".sce"), "view.png");
}

TEST(PanelMessages, KeepsPrintedLinesButNotTheFrameRate)
{
    std::ostringstream sink;
    std::streambuf* before = std::cout.rdbuf(sink.rdbuf());
    {
        MessageLog log;
        std::cout << "placed 67 parts of 2CylinderEngine.glb" << std::endl;
        std::cout << "59.9 fps\n";
        std::cerr << "ERROR: half";
        std::cerr << " a line\n";
        std::cout << "no line end yet";
        EXPECT_EQ(std::vector<std::string>(log.lines().begin(), log.lines().end()),
                  (std::vector<std::string>{"placed 67 parts of 2CylinderEngine.glb", "ERROR: half a line"}));
        for (size_t i = 0; i < MessageLog::limit + 5; ++i)
            log.add("line " + std::to_string(i));
        EXPECT_EQ(log.lines().size(), MessageLog::limit);
        EXPECT_EQ(log.lines().back(), "line " + std::to_string(MessageLog::limit + 4));
    }
    EXPECT_EQ(std::cout.rdbuf(), sink.rdbuf()) << "the stream is given back";
    std::cout.rdbuf(before);
    EXPECT_EQ(sink.str().substr(0, 38), "placed 67 parts of 2CylinderEngine.glb") << "still printed";
    EXPECT_FALSE(isFrameRateLine("frames 60 fps"));
}
