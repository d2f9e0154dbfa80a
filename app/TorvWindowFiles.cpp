// The application's side of opening files: command-line arguments and drops.
#include "app/FileOpening.h"
#include "app/TorvWindow.h"
#include "interaction/ViewFraming.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "text/CommandConsole.h"

#include <iostream>

void TorvWindow::openFiles(const std::vector<std::string>& paths)
{
    if (paths.empty() || !sceneLoader)
        return;
    const bool wasEmpty = scene->root->children.empty();
    const OpenOutcome outcome = ::openFiles(*sceneLoader, paths);
    for (const auto* lines : {&outcome.failures, &outcome.done})
        for (const std::string& line : *lines) {
            std::cout << "torv: " << line << std::endl;
            if (console)
                console->addMessage(line);
        }
    if (outcome.scenesLoaded == 0 && outcome.modelsPlaced > 0 && wasEmpty)
        frameObjects(*scene, *cameraController, false, nearPlane);
}
