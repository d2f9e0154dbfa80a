#pragma once
#include <string>
#include <vector>

// What `help` writes into the scroll-back, top line first: every command and
// the keys beyond the mouse, one line each, short enough for the console's
// half of the window.
const std::vector<std::string>& consoleHelpLines();
