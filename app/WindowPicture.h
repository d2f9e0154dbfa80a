#pragma once
#include "render/PictureOutput.h"

#include <string>

class TorvWindow;

// The window's view (without the console) as a picture file: PNG, SVG or
// PDF by the name, its objects named after their models or parts.
bool writeWindowPicture(TorvWindow& window, const std::string& path, const PictureRequest& request,
                        std::string& reason);
