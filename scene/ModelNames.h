#pragma once
#include <string>

// Why a model cannot be placed under this name, or empty when it can: a
// scene file holds one name per line and drops a carriage return at a line's
// end, so a name with a line feed or carriage return would come back from a
// save as another name, or another file.
std::string unplaceableNameReason(const std::string& name);

// The name with line feeds and carriage returns shown as \n and \r, so a
// message that quotes it stays one line.
std::string nameForMessage(const std::string& name);
