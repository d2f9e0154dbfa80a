#include "text/ConsoleHelp.h"

#include <cctype>

const std::vector<std::string>& consoleHelpLines()
{
    // At most 19 lines: with the command's own line the list fills the
    // scroll-back, none pushed out.
    static const std::vector<std::string> lines = {
        "model NAME     models/NAME, a path or \"a b\"",
        "parts NAME     add each part of a model",
        "savescene|loadscene NAME  write/read scene",
        "edit on|off    gizmo handles on selection",
        "cancut|canbecut on|off  selection cuts/is cut",
        "global|local DEG  cone angle; local <0 none",
        "lines on|off|ghost  edge on|off  dir on|off",
        "ghost V        ghost line reach, 0 to 4",
        "screenshot NAME [N] [options]; .svg .pdf too",
        "click select; Shift+click add; on empty: none",
        "Ctrl+click object behind; +Shift adds it",
        "right drag orbit; wheel zoom",
        "middle or Shift+right drag: pan",
        "F focus selection; C origin; Delete removes",
        "Home frame all (Shift: selection); F1 panel",
        "edit mode: drag a square moves, cube scales",
        "Ctrl+Z undo; Ctrl+Shift+Z or Ctrl+Y redo",
        "Up/Down earlier commands; Tab close; Esc quits",
        "help           this list; drop files to open",
    };
    return lines;
}

std::string consoleHint(const std::vector<std::string>& tokens)
{
    if (tokens.empty())
        return std::string();
    std::string first = tokens[0];
    for (char& ch : first)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    static const char* const known[] = {"model",  "parts",  "savescene", "loadscene", "edit", "cancut",
                                        "canbecut", "global", "globalangle", "local", "localangle", "edge",
                                        "line",   "lines",  "ghost",     "screenshot", "help"};
    bool command = first.compare(0, 3, "dir") == 0;
    for (const char* k : known)
        command = command || first == k;
    if (command)
        return "not understood: " + tokens[0] + (tokens.size() > 1 ? " " + tokens[1] : std::string()) +
               " (help lists commands and values)";
    return "unknown command " + tokens[0] + " (help lists the commands)";
}
