#include "app/TorvWindow.h"

#include "app/FileOpening.h"
#include "app/LoadQueue.h"
#include "app/Platform.h"
#include "app/Screenshot.h"
#include "gl/GLLoader.h"
#include "interaction/Gizmo.h"
#include "interaction/ObjectCentre.h"
#include "interaction/ViewFraming.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/UndoHistory.h"
#include "text/CommandConsole.h"
#include "text/Font.h"
#include "text/ProgressLine.h"
#include "ui/MessageLog.h"
#include "ui/ScenePanel.h"

TorvWindow::TorvWindow(int w, int h) : requestedWidth(w), requestedHeight(h)
{
    width = w;
    height = h;
}

TorvWindow::~TorvWindow()
{
    // GL objects go in shutdown(), while the context still exists; the
    // members' own destructors then find nothing left to delete.
}

void TorvWindow::init()
{
    showFps = true;
    // From the start, so what opening the files prints is in the panel too.
    if (panelEnabled)
        messageLog = std::make_unique<MessageLog>();

    // The frame is drawn at the framebuffer's size, which need not be the
    // size asked for (scaled screens, window managers that resize).
    int fw = requestedWidth, fh = requestedHeight;
    {
        int w = 0, h = 0;
        platform().framebufferSize(w, h);
        if (w > 0 && h > 0) {
            fw = w;
            fh = h;
        }
    }
    frameRenderer.init(fw, fh);

    input = std::make_unique<InputState>();
    installCallbacks();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, fw, fh);
    glEnable(GL_CULL_FACE);

    camera = std::make_unique<Camera>(Vec3(0, 1, 0), Vec3(0, 20, 50), Vec3(0, 0, 0), fw, fh, 0.1f, 1000.0f,
                                      70.0f);
    cameraController = std::make_unique<CameraController>(camera.get());

    scene = std::make_unique<Scene>();
    scene->camera = camera.get();
    sceneLoader = std::make_unique<SceneLoader>(scene.get());
    sceneLoader->modelDirectory = modelDirectory;
    sceneLoader->sceneDirectory = startSceneDirectory;
    bool anyFile = false;
    for (const std::string& f : filesToOpen)
        anyFile = anyFile || classifyFile(f) != FileKind::Unknown;
    startingUp = true;
    if (!anyFile && sceneLoader->loadScene(startScene))
        showLoadedScene(false);
    sceneLoader->sceneDirectory = "scenes/";
    // Opening the files is the first step that can be undone.
    undoHistory = std::make_unique<UndoHistory>(scene.get(), sceneLoader.get());
    undoHistory->observe();
    setUpLoads();
    openFiles(filesToOpen);
    startingUp = false;
    platform().setDropCallback([this](const std::vector<std::string>& paths) { openFiles(paths); });

    if (!withConsole)
        return;
    font = std::make_unique<Font>();
    // The named face is proprietary and not shipped; DejaVu Sans Mono stands in.
    font->loadFaceWithFallback("Lucida", "fonts/LucidaSansTypewriter.ttf", Font::shippedFontPath);
    console = std::make_unique<CommandConsole>(input.get(), sceneLoader.get(), scene.get(), font.get());
    console->otherKey = [this](int key) { undoKey(key); };
    console->addCommand("screenshot", [this](const std::vector<std::string>& tokens) {
        console->addMessage(runScreenshotCommand(*this, tokens));
    });
    setUpLoadCommands();
    if (panelEnabled) {
        startPanel();
        frameRenderer.outlineSelection = true;
    }
    // The scene as opened counts as saved: quitting at once loses nothing.
    sceneLoader->savedText = sceneLoader->sceneText();
}

void TorvWindow::installCallbacks()
{
    Platform& p = platform();
    // Characters go to the panel's fields while the console is closed.
    p.setCharCallback([this](unsigned int character, int) {
        if (panel)
            panel->addCharacter(character);
    });
    p.setKeyCallback([this](int key, int action) { keyCallback(key, action); });
}

void TorvWindow::keyCallback(int key, int action)
{
    if (action != GLFW_PRESS || interactionMode != InteractionMode::Idle)
        return;
    if (key == GLFW_KEY_F1 && panel) {
        panel->shown = !panel->shown;
        return;
    }
    // Keys typed over the panel are the panel's; undo too while it types.
    if (panel && (panel->typing() || (panel->wantsKeys() && key != GLFW_KEY_Z && key != GLFW_KEY_Y)))
        return;
    if (key == GLFW_KEY_TAB)
        tabPressed = true;
    else if (key == GLFW_KEY_DELETE)
        deletePressed = true;
    else if (key == GLFW_KEY_HOME) {
        Platform& p = platform();
        homePressed = true;
        homeWithShift = p.keyDown(GLFW_KEY_LEFT_SHIFT) || p.keyDown(GLFW_KEY_RIGHT_SHIFT);
    }
    else
        undoKey(key);
}

void TorvWindow::undoKey(int key)
{
    Platform& p = platform();
    if (!undoHistory || !(p.keyDown(GLFW_KEY_LEFT_CONTROL) || p.keyDown(GLFW_KEY_RIGHT_CONTROL)))
        return;
    const bool shift = p.keyDown(GLFW_KEY_LEFT_SHIFT) || p.keyDown(GLFW_KEY_RIGHT_SHIFT);
    if (key == GLFW_KEY_Z && !shift)
        undoHistory->undo();
    else if (key == GLFW_KEY_Y || key == GLFW_KEY_Z)
        undoHistory->redo();
}

void TorvWindow::update(double dt)
{
    Platform& p = platform();
    followFramebufferSize();
    pollInput(*input);
    panelFrame(dt);
    int mx = 0, my = 0;
    if (cameraController->orbiting) {
        p.mousePos(mx, my);
        cameraController->orbit(mx, my);
    }
    followPan();

    p.mousePos(mx, my);
    uint32_t hoveredId = pointerOverPanel() ? 0 : readObjectId(mx, my);
    Identifiable* hovered = lookupId(hoveredId);
    hoveredObjectId = hoveredId;
    // Only a window has a pointer that hovers; pictures outline the selection alone.
    if (panelEnabled)
        frameRenderer.hoveredObject = hoveredId;

    Transformable* selectedTransformable = nullptr;
    if (!scene->selection.empty())
        selectedTransformable = dynamic_cast<Transformable*>(*scene->selection.begin());

    bool consoleJustOpened = false;
    if (interactionMode == InteractionMode::Idle) {
        int wheel = p.mouseWheel();
        if (wheel != 0)
            cameraController->zoom(wheel);
        if (!input->mouseDown[0] && !input->mouseDown[1] && hovered)
            hovered->hover();
        if (homePressed)
            frameObjects(*scene, *cameraController, homeWithShift);

        if (startsPan()) {
            beginPan();
        } else if (input->mousePressed[1]) {
            pickBehind.otherClick();
            p.mousePos(mx, my);
            cameraController->beginOrbit(mx, my);
            interactionMode = InteractionMode::Orbiting;
        } else if (input->keyPressed['F'] && selectedTransformable) {
            // The object's own centre: parts of one model share its origin.
            cameraController->focus(worldCentre(*selectedTransformable, *camera));
        } else if (input->keyPressed['C']) {
            cameraController->focus(Vec3(0, 0, 0));
        } else if (tabPressed && console) {
            console->consoleOpen = true;
            console->open();
            consoleJustOpened = true;
            interactionMode = InteractionMode::ConsoleOpen;
        } else if (deletePressed) {
            if (selectedTransformable && selectedTransformable->node) {
                SceneNode* node = selectedTransformable->node;
                deselectAll();
                node->deleteNode();
            }
        } else if (input->mousePressed[0] && !dynamic_cast<SubGizmo*>(hovered) &&
                   (p.keyDown(GLFW_KEY_LEFT_CONTROL) || p.keyDown(GLFW_KEY_RIGHT_CONTROL))) {
            // Selection only. Over a gizmo handle it is a plain press: what
            // lies behind a handle is never selected through it.
            const uint32_t plainId = dynamic_cast<MeshInstance*>(hovered) ? hoveredId : 0;
            // The ray is cast in the camera's pixels, the framebuffer's.
            int px = mx, py = my;
            p.windowToFramebuffer(px, py);
            if (MeshInstance* behind = pickBehind.pick(*scene, *camera, px, py, plainId)) {
                if (!p.keyDown(GLFW_KEY_LEFT_SHIFT) && !p.keyDown(GLFW_KEY_RIGHT_SHIFT))
                    deselectAll();
                selectInstance(behind);
            }
        } else if (input->mousePressed[0]) {
            pickBehind.otherClick();
            if (hovered && hovered->press() == PressResult::StartDrag)
                interactionMode = InteractionMode::DraggingGizmo;
            if (hoveredId == 0)
                deselectAll();
            else if (auto* instance = dynamic_cast<MeshInstance*>(hovered))
                clickSelect(instance, p.keyDown(GLFW_KEY_LEFT_SHIFT) || p.keyDown(GLFW_KEY_RIGHT_SHIFT));
        }
    }

    if (interactionMode == InteractionMode::Panning && endsPan()) {
        cameraController->endPan();
        interactionMode = InteractionMode::Idle;
    }
    if (interactionMode == InteractionMode::Orbiting && input->mouseReleased[1]) {
        cameraController->endOrbit();
        interactionMode = InteractionMode::Idle;
    }
    if (interactionMode == InteractionMode::DraggingGizmo && input->mouseReleased[0]) {
        scene->gizmo->endDrag();
        interactionMode = InteractionMode::Idle;
    }
    if (interactionMode == InteractionMode::ConsoleOpen && !consoleJustOpened) {
        console->update(dt);
        if (console->closeRequested) {
            console->consoleOpen = false;
            p.setCharCallback(nullptr);
            p.setKeyCallback(nullptr);
            interactionMode = InteractionMode::Idle;
            installCallbacks();
        }
    }
    p.setMouseWheel(0);
    tabPressed = false;
    deletePressed = false;
    homePressed = false;

    if (loads) {
        // A finished load places everything in this one update.
        loads->poll();
        console->runHeldLines();
    }
    for (int i = 0; i < Gizmo::handleCount; ++i)
        scene->gizmo->handle(i)->update();
    scene->root->update(camera->view, 1.0f);
    followSceneBounds();
    // A panel slider being dragged is one change, taken when it ends.
    undoHistory->observe(interactionMode == InteractionMode::DraggingGizmo || (panel && panel->editing()));
}

void TorvWindow::deselectAll()
{
    scene->clearSelection();
}

void TorvWindow::clickSelect(MeshInstance* instance, bool add)
{
    if (!add)
        deselectAll();
    selectInstance(instance);
}

void TorvWindow::selectInstance(MeshInstance* instance)
{
    if (!instance)
        return;
    scene->gizmo->setTarget(instance->node);
    scene->select(instance);
}

void TorvWindow::shutdown()
{
    if (keepRecovery)
        writeRecovery();
    releaseGL();
}

void TorvWindow::releaseGL()
{
    if (released || !glContextAlive())
        return;
    released = true;
    // The console and font own text meshes and programs, the scene the gizmo
    // meshes and the loader the cached models: all go while GL is here.
    loads.reset();
    progressLine.reset();
    undoHistory.reset();
    panel.reset();
    console.reset();
    font.reset();
    scene.reset();
    sceneLoader.reset();
    frameRenderer.release();
}

void TorvWindow::render()
{
    frameRenderer.render(*scene, *camera);
    if (progressLine)
        progressLine->draw(loadProgress());
    if (console)
        console->draw();
    if (panel)
        panel->draw();
}

uint32_t TorvWindow::readObjectId(int x, int y)
{
    // The cursor is in window units; the id image has the framebuffer's pixels.
    platform().windowToFramebuffer(x, y);
    return frameRenderer.readObjectId(x, y);
}

void TorvWindow::followFramebufferSize()
{
    int w = 0, h = 0;
    platform().framebufferSize(w, h);
    // A minimised window has no pixels; keep the last size until it returns.
    if (w <= 0 || h <= 0 || (w == renderWidth() && h == renderHeight()))
        return;
    resizeRendering(w, h);
}

void TorvWindow::resizeRendering(int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    frameRenderer.resize(w, h);

    // The vertical field of view stays; the picture widens or narrows.
    camera->viewportWidth = w;
    camera->viewportHeight = h;
    camera->aspect = static_cast<float>(w) / static_cast<float>(h);
    camera->projectionDirty = true;
    camera->update();

    glViewport(0, 0, w, h);
    if (console)
        console->layoutLines();
}
