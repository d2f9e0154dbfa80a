#pragma once
#include <string>
#include <vector>

class TorvWindow;

// The console command `screenshot NAME [SCALE] [--outline]`: NAME is the
// PNG's path (relative to the working folder unless absolute), SCALE a whole
// number from 1 to 4; --outline keeps the selection's outline in it. Returns the line for the scroll-back: what was written, or why not.
std::string runScreenshotCommand(TorvWindow& window, const std::vector<std::string>& tokens);

// SCALE as typed: true and the value for "1" to "4".
bool parseScreenshotScale(const std::string& text, int& scale);
