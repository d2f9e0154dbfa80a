// The application's side of the scene panel: the operations its widgets ask
// for, and which part of each frame's input is the panel's.
#include "base/DataPaths.h"
#include "app/FileOpening.h"
#include "app/Platform.h"
#include "app/TorvWindow.h"
#include "interaction/ViewFraming.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "text/CommandConsole.h"
#include "text/Font.h"
#include "ui/MessageLog.h"
#include "ui/PanelModel.h"
#include "ui/ScenePanel.h"

#include <filesystem>
#include <iostream>

namespace {

class WindowPanelActions : public PanelActions {
public:
    explicit WindowPanelActions(TorvWindow& window) : window(window) {}

    void selectObject(MeshInstance* object, bool add) override { window.clickSelect(object, add); }

    void frameSelection() override { frameObjects(*window.scene, *window.cameraController, true, window.nearPlane); }

    void runCommand(const std::string& line) override
    {
        if (window.console)
            window.console->executeCommand(line);
    }

    // Parts when the file has more than one; loaded while the window runs.
    void openModel(const std::string& path, bool asParts) override { window.openModelFile(path, !asParts); }

    void openScene(const std::string& path) override { window.openFiles({path}); }

    void saveScene(const std::string& path) override
    {
        const std::string target = std::filesystem::absolute(path).lexically_normal().string();
        if (window.sceneLoader->saveScene(target))
            std::cout << "saved scene " << target << std::endl;
        else
            std::cout << "ERROR: could not save scene " << target << std::endl;
    }

    void saveScreenshot(const std::string& path) override
    {
        std::string reason;
        if (window.screenshot(path, 1, reason))
            std::cout << "wrote " << path << std::endl;
        else
            std::cout << "screenshot: " << reason << std::endl;
    }

private:
    TorvWindow& window;
};

} // namespace

void TorvWindow::startPanel()
{
    panelActions = std::make_unique<WindowPanelActions>(*this);
    panel = std::make_unique<ScenePanel>(PanelModel(*scene, *sceneLoader, *panelActions), messageLog.get(),
                                         findDataFile(Font::shippedFontPath));
    if (loads)
        panel->cancel = [this] { cancelLoad(); };
    // A plain start keeps the bare picture; files to open bring the panel.
    panel->shown = !filesToOpen.empty();
    if (!filesToOpen.empty()) {
        const std::string first = filesToOpen.front();
        const std::string folder = folderOf(first);
        if (!folder.empty())
            panel->folder = folder;
    }
}

bool TorvWindow::pointerOverPanel() const
{
    return panel && panel->wantsPointer();
}

void TorvWindow::panelFrame(double dt)
{
    if (!panel)
        return;
    Platform& p = platform();
    PanelStatus status = countScene(*scene);
    status.frameSeconds = averageFrameTime;
    if (auto* object = dynamic_cast<MeshInstance*>(lookupId(hoveredObjectId)))
        status.underPointer = objectLabel(*object, *sceneLoader);
    panel->progressLine = loadProgress();
    panel->newFrame(p, *input, dt, status);

    if (panel->wantsPointer()) {
        for (int b = 0; b < InputState::buttonCount; ++b)
            input->mousePressed[b] = false;
        p.setMouseWheel(0);
    }
    if (panel->wantsKeys()) {
        for (int k = 0; k < InputState::keyCount; ++k)
            input->keyPressed[k] = false;
        tabPressed = deletePressed = homePressed = false;
    }
}
