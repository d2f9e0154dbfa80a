#include "app/TorvWindow.h"
#include "base/FreedMemory.h"
#include "base/HugePages.h"
#include "scene/RecoveryFile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <iostream>
#include <sys/stat.h>

namespace {

// TORV_MAX_FPS: frames a second at most, to leave the processor to others
// (software rendering draws as fast as it can). Anything but a positive
// number is refused in one line and leaves the rate free.
double frameRateLimit()
{
    const char* text = std::getenv("TORV_MAX_FPS");
    if (!text || !*text)
        return 0.0;
    char* end = nullptr;
    const double fps = std::strtod(text, &end);
    if (*end != '\0' || !(fps > 0.0) || !std::isfinite(fps)) {
        std::cerr << "torv: TORV_MAX_FPS must be a positive number of frames a second; ignored" << std::endl;
        return 0.0;
    }
    return fps;
}

} // namespace

// torv [FILE ...]: scene files and model files to open instead of the start
// scene; torv --resume: the scene left unsaved when the viewer last ended.
int main(int argc, char** argv)
{
    restartWithHugePages(argv);
    // Past the file-size limit a write fails with its reason instead of
    // ending the program: pictures and scenes are then reported unwritten.
    std::signal(SIGXFSZ, SIG_IGN);
    keepFreedMemory();
    // Everything else is a file to open.
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "Usage: torv [--whole] [FILE ...] | torv --resume\n"
                         "Opens the cutaway viewer on scenes/s_test.sce, or on the scene and model\n"
                         "files given (models alone are framed). A model file made of several parts\n"
                         "is placed as its parts, each an object of its own; --whole places each\n"
                         "model file as one object. Files load while the window keeps running;\n"
                         "`cancel` in the console stops a load. Data (shaders/, fonts/, models/,\n"
                         "scenes/) is read from the working folder, else from the program's data folder.\n"
                         "F1 shows the scene panel (shown at start when files are given);\n"
                         "Tab opens the command console (help lists keys and commands); Escape quits.\n"
                         "Unsaved changes are kept in a recovery file when the viewer ends;\n"
                         "--resume opens it. TORV_MAX_FPS=N draws at most N frames a second.\n";
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "torv " << TORV_VERSION << std::endl;
            return 0;
        }
        if (std::strcmp(argv[i], "--resume") == 0) {
            const std::string path = recoveryFilePath();
            struct stat st;
            if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                std::cerr << "torv: no recovery file" << (path.empty() ? std::string() : " at " + path) << std::endl;
                return 2;
            }
            files.push_back(path);
            continue;
        }
        files.push_back(argv[i]);
    }
    {
        TorvWindow window;
        window.panelEnabled = true;
        window.backgroundLoads = true;
        window.keepRecovery = true;
        window.maxFramesPerSecond = frameRateLimit();
        for (const std::string& f : files) {
            if (f == "--whole")
                window.openWhole = true;
            else
                window.filesToOpen.push_back(f);
        }
        window.run();
    }
    return 0;
}
