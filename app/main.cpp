#include "app/TorvWindow.h"

#include <cstring>
#include <csignal>
#include <iostream>

// torv [FILE ...]: scene files and model files to open instead of the start scene.
int main(int argc, char** argv)
{
    // Past the file-size limit a write fails with its reason instead of
    // ending the program: pictures and scenes are then reported unwritten.
    std::signal(SIGXFSZ, SIG_IGN);
    // Everything else is a file to open.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "Usage: torv [--whole] [FILE ...]\n"
                         "Opens the cutaway viewer on scenes/s_test.sce, or on the scene and model\n"
                         "files given (models alone are framed). A model file made of several parts\n"
                         "is placed as its parts, each an object of its own; --whole places each\n"
                         "model file as one object. Files load while the window keeps running;\n"
                         "`cancel` in the console stops a load. Data (shaders/, fonts/, models/,\n"
                         "scenes/) is read from the working folder, else from the program's data folder.\n"
                         "F1 shows the scene panel (shown at start when files are given);\n"
                         "Tab opens the command console; Escape quits.\n";
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "torv " << TORV_VERSION << std::endl;
            return 0;
        }
    }
    {
        TorvWindow window;
        window.panelEnabled = true;
        window.backgroundLoads = true;
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--whole") == 0)
                window.openWhole = true;
            else
                window.filesToOpen.push_back(argv[i]);
        }
        window.run();
    }
    return 0;
}
