#pragma once
#include <string>
#include <vector>

class TorvWindow;

// The console command
// `screenshot NAME [SCALE] [--outline] [antialias K] [transparent]`: NAME is
// the picture's path (relative to the working folder unless absolute), a PNG
// unless it ends in .svg or .pdf (a vector drawing); SCALE a whole number
// from 1 to 4 times the window's size; --outline keeps the selection's
// outline in it; antialias K renders K times larger and filters down;
// transparent leaves out the white background. Returns the line for the
// scroll-back: what was written, or why not.
std::string runScreenshotCommand(TorvWindow& window, const std::vector<std::string>& tokens);

// SCALE as typed: true and the value for "1" to "4".
bool parseScreenshotScale(const std::string& text, int& scale);
