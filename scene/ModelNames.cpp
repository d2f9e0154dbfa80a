#include "scene/ModelNames.h"

std::string unplaceableNameReason(const std::string& name)
{
    if (name.find_first_of("\n\r") != std::string::npos)
        return "a name with a line break cannot be saved in a scene file";
    return std::string();
}

std::string nameForMessage(const std::string& name)
{
    std::string shown;
    for (char c : name) {
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else
            shown += c;
    }
    return shown;
}
