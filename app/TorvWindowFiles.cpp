// The application's side of opening files: command-line arguments, drops,
// the panel's open, and loads that leave the window running.
#include "app/FileOpening.h"
#include "app/LoadQueue.h"
#include "app/TorvWindow.h"
#include "interaction/ViewFraming.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/SceneView.h"
#include "text/CommandConsole.h"
#include "text/ProgressLine.h"

#include <iostream>

void TorvWindow::report(const std::string& line)
{
    std::cout << "torv: " << line << std::endl;
    if (console)
        console->addMessage(line);
}

void TorvWindow::showLoadedScene(bool frameWithoutCamera)
{
    if (!applyViewCamera(sceneLoader->lastView, *cameraController) && frameWithoutCamera)
        frameObjects(*scene, *cameraController, false);
}

void TorvWindow::openFiles(const std::vector<std::string>& paths)
{
    if (paths.empty() || !sceneLoader)
        return;
    if (loads) {
        loads->openFiles(paths, openWhole, startingUp);
        return;
    }
    const bool wasEmpty = scene->root->children.empty();
    const OpenOutcome outcome = ::openFiles(*sceneLoader, paths, openWhole);
    for (const auto* lines : {&outcome.failures, &outcome.done})
        for (const std::string& line : *lines)
            report(line);
    if (outcome.scenesLoaded > 0)
        showLoadedScene(!startingUp);
    else if (outcome.modelsPlaced > 0 && wasEmpty)
        frameObjects(*scene, *cameraController, false);
}

void TorvWindow::openModelFile(const std::string& path, bool whole)
{
    const bool keep = openWhole;
    openWhole = whole;
    openFiles({path});
    openWhole = keep;
}

void TorvWindow::cancelLoad()
{
    if (loads)
        loads->cancel();
}

std::string TorvWindow::loadProgress() const
{
    return loads ? loads->progressLine() : std::string();
}

void TorvWindow::setUpLoads()
{
    if (!backgroundLoads)
        return;
    loads = std::make_unique<LoadQueue>(*sceneLoader);
    loads->report = [this](const std::string& line) { report(line); };
    loads->echo = [this](const std::string& line) {
        if (console)
            console->addMessage(line);
    };
    loads->frameAll = [this] { frameObjects(*scene, *cameraController, false); };
    loads->sceneLoaded = [this](const SceneView&, bool frame) { showLoadedScene(frame); };
}

void TorvWindow::setUpLoadCommands()
{
    if (!loads)
        return;
    progressLine = std::make_unique<ProgressLine>(scene.get(), font.get());
    console->loadCommand = [this](ConsoleAction action, const std::string& name) {
        if (action == ConsoleAction::LoadScene)
            loads->loadScene(name);
        else
            loads->addModel(name, action == ConsoleAction::Parts ? LoadQueue::Placement::Parts
                                                                 : LoadQueue::Placement::Whole);
        return true;
    };
    // Later commands wait for the load before them, so a `savescene` typed
    // after `model` saves the model; `cancel` goes through at once.
    console->loadRunning = [this] { return loads->busy(); };
    console->runsAtOnce = [](const std::string& line) { return line == "cancel"; };
    console->addCommand("cancel", [this](const std::vector<std::string>&) { cancelLoad(); });
}
