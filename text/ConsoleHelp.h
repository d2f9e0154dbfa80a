#pragma once
#include <string>
#include <vector>

// What `help` writes into the scroll-back, top line first: every command,
// key and click, one line each, short enough for the console's half of the
// window.
const std::vector<std::string>& consoleHelpLines();

// The one line the scroll-back shows for a line no command took: a command
// word with a value it does not take (`global abc`, `cancut maybe`, also
// typed in capitals), or a word that is no command. Both name `help`. Empty
// for an empty line.
std::string consoleHint(const std::vector<std::string>& tokens);
