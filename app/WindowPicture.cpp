#include "app/WindowPicture.h"

#include "app/TorvWindow.h"
#include "base/AtomicWrite.h"

bool writeWindowPicture(TorvWindow& window, const std::string& path, const PictureRequest& request,
                        std::string& reason)
{
    std::string bytes, why;
    if (!makePicture(window.renderer(), *window.scene, *window.camera, objectNames(*window.scene, *window.sceneLoader),
                     request, pictureFormatFor(path), bytes, reason))
        return false;
    if (!replaceFileContents(path, bytes, why)) {
        reason = "cannot write " + path + ": " + why;
        return false;
    }
    return true;
}
