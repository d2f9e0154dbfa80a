#include "app/WindowPicture.h"

#include "app/TorvWindow.h"

bool writeWindowPicture(TorvWindow& window, const std::string& path, const PictureRequest& request,
                        std::string& reason)
{
    return writePicture(window.renderer(), *window.scene, *window.camera,
                        objectNames(*window.scene, *window.sceneLoader), path, request, reason);
}
