#pragma once
#include "app/GLFWGameWindow.h"
#include "interaction/PickBehind.h"
#include "render/Renderer.h"

#include <memory>
#include <string>
#include <vector>

class Camera;
class CameraController;
class LoadQueue;
class ProgressLine;
class CommandConsole;
class Font;
class MeshInstance;
class MessageLog;
class PanelActions;
class ScenePanel;
class Scene;
class SceneLoader;
class UndoHistory;

// What the window's input does: normal viewing, a gizmo drag, an orbit with
// the right button, typing into the console, or a pan (middle drag, Shift +
// right drag).
enum class InteractionMode { DraggingGizmo, Idle, Orbiting, ConsoleOpen, Panning };

// The application: owns the renderer (the frame's GPU resources and passes),
// the camera, the scene, the font and the console, and turns input into
// camera motion, picking, selection, gizmo drags and console toggling.
class TorvWindow : public GLFWGameWindow {
public:
    // The window asked for; 800 x 800 for the viewer. The render size then
    // follows the framebuffer the window system gives it.
    explicit TorvWindow(int width = 800, int height = 800);
    ~TorvWindow();

    void deselectAll();
    void selectInstance(MeshInstance* instance);
    // A click on an object, in the picture or on its row in the panel:
    // selects it, replacing the selection unless add.
    void clickSelect(MeshInstance* instance, bool add);
    void keyCallback(int key, int action);

    // The id in the last frame's id image under a window position (y down,
    // in the window's units: mapped to framebuffer pixels here).
    uint32_t readObjectId(int x, int y);

    // Resizes everything drawn at the render size when the framebuffer's
    // size changed: render targets, camera aspect, viewport and console
    // layout.
    void followFramebufferSize();
    void resizeRendering(int width, int height);

    // The frame's size in pixels (the framebuffer's).
    int renderWidth() const { return frameRenderer.width(); }
    int renderHeight() const { return frameRenderer.height(); }
    Renderer& renderer() { return frameRenderer; }

    std::unique_ptr<InputState> input;
    InteractionMode interactionMode = InteractionMode::Idle;

    std::unique_ptr<Camera> camera;
    std::unique_ptr<CameraController> cameraController;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> sceneLoader;
    std::unique_ptr<Font> font;
    std::unique_ptr<CommandConsole> console;
    bool tabPressed = false;
    bool deletePressed = false;
    // Home (frame everything) and Shift + Home (frame the selection), taken
    // like Tab and Delete from the key callback; shift is read as the key
    // arrives, since a quick tap may let it go before the next update.
    bool homePressed = false;
    bool homeWithShift = false;
    // Ctrl + click selects what lies behind.
    PickBehind pickBehind;

    // Every scene change, taken as steps once per frame (Ctrl+Z, Ctrl+Y).
    std::unique_ptr<UndoHistory> undoHistory;
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo; other keys do nothing.
    void undoKey(int key);

    // Files from the command line, opened at start-up in place of the start
    // scene when any is a scene or model file.
    std::vector<std::string> filesToOpen;
    // Scene files replace the scene, model files are added; reasons for what
    // could not be opened go to standard output (and the console's
    // scroll-back once it exists). The view is framed on the models when
    // only models came and nothing was placed before.
    void openFiles(const std::vector<std::string>& paths);

    // Loads that leave the window drawing and answering (the viewer sets it
    // before start; headless runs load at once). app/TorvWindowFiles.cpp.
    bool backgroundLoads = false;
    // Opened and dropped model files go in as one object each (--whole).
    bool openWhole = false;
    std::unique_ptr<LoadQueue> loads;
    std::unique_ptr<ProgressLine> progressLine;
    // Opens one model file: as its parts when it has several, or whole.
    void openModelFile(const std::string& path, bool whole);
    // Stops the load that is running and drops those waiting.
    void cancelLoad();
    // "loading NAME  N s" while a load runs, else empty.
    std::string loadProgress() const;
    // A line for the user: standard output and the console's scroll-back.
    void report(const std::string& line);
    // Renders the view as the window shows it, without the console, at
    // scale times the window's size, into a PNG. False with a reason when the
    // picture could not be made or written.
    // The selection's outline only when asked.
    bool screenshot(const std::string& path, int scale, std::string& reason, bool outline = false);

    // When set (the viewer), a scene with unsaved changes is written to the
    // recovery file as the program ends (scene/RecoveryFile.h), and where it
    // went is printed.
    bool keepRecovery = false;
    void writeRecovery();

    // The scene loaded at start-up: startSceneDirectory + startScene.
    std::string startScene = "s_test.sce";
    std::string startSceneDirectory = "scenes/";
    // Where model names are looked up.
    std::string modelDirectory = "models/";
    // False: no font and no console are made (a run that only renders
    // pictures never shows them); set before start.
    bool withConsole = true;

    // The scene panel (F1), made for the real window; headless runs get one
    // only when they ask before start-up.
    bool panelEnabled = false;
    std::unique_ptr<MessageLog> messageLog;
    std::unique_ptr<PanelActions> panelActions;
    std::unique_ptr<ScenePanel> panel;
    // The object under the pointer in the last update (0: none).
    uint32_t hoveredObjectId = 0;
    void startPanel();
    // Lays the panel out with this frame's input and takes out of the input
    // what belongs to the panel.
    void panelFrame(double dt);
    bool pointerOverPanel() const;

protected:
    void init() override;
    void update(double dt) override;
    void render() override;
    void shutdown() override;

private:
    // Pan and the clip planes (app/TorvWindowView.cpp).
    bool startsPan() const;
    void beginPan();
    void followPan();
    bool endsPan() const;
    int panButton = 2;
    // The camera's near and far planes follow what is drawn.
    void followSceneBounds();

    void setUpLoads();
    void setUpLoadCommands();
    // A loaded scene's saved camera, or framing when it has none and the
    // load was not part of the start.
    void showLoadedScene(bool frameWithoutCamera);
    bool startingUp = false;
    void installCallbacks();
    void releaseGL();
    // The size asked for, until the framebuffer's is known.
    int requestedWidth;
    int requestedHeight;
    Renderer frameRenderer;
    bool released = false;
};
