#pragma once
#include "render/PictureOutput.h"

#include <string>

class TorvWindow;

// The window's view (without the console) as a picture file: PNG, SVG or
// PDF by the name, its objects named after their models or parts. The file
// is replaced only once the whole picture is written; the reason says why
// it was not.
bool writeWindowPicture(TorvWindow& window, const std::string& path, const PictureRequest& request,
                        std::string& reason);
