#include "text/ConsoleHelp.h"

const std::vector<std::string>& consoleHelpLines()
{
    static const std::vector<std::string> lines = {
        "model NAME       models/NAME, a path or \"a b\"",
        "parts NAME       add each part of a model",
        "savescene NAME   write scenes/NAME",
        "loadscene NAME   read scenes/NAME",
        "edit on|off      gizmo handles on the selection",
        "cancut on|off    selected objects cut",
        "canbecut on|off  selected objects are cut",
        "global DEG       cone angle of the scene",
        "local DEG        selection's own angle, <0 none",
        "lines on|off|ghost  silhouette lines",
        "ghost V          ghost line reach, 0 to 4",
        "edge on|off      off: cone hugs the outline",
        "dir on|off       on: hole sized in the world",
        "screenshot NAME [N] [options]; .svg .pdf too",
        "help             this list; drop files to open",
        "Up/Down          earlier commands; Tab: close",
        "Ctrl+click       object behind; +Shift adds it",
        "Home             frame all (Shift: selection)",
        "Ctrl+Z undo; Ctrl+Shift+Z or Ctrl+Y redo",
    };
    return lines;
}
