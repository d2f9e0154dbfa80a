#pragma once
// The fixture of the console tests: the console as the window sets it up over
// a folder of its own with tri.obj, typed into through the headless window's
// events.
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

// The console as the window sets it up, typed into through the headless
// window's events.
class CommandConsoleTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        dir = std::filesystem::path(testing::TempDir()) / ("torv-console-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
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

    std::filesystem::path dir;
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
inline std::ostream& operator<<(std::ostream& os, const Switches& s)
{
    return os << "{edit " << s.edit << " edge " << s.edge << " dir " << s.directional << " lines "
              << static_cast<int>(s.lineMode)
              << " global " << s.global << " ghost " << s.ghost << "}";
}
