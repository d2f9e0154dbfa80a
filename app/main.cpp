#include "app/TorvWindow.h"

// torv [FILE ...]: scene files and model files to open instead of the start scene.
int main(int argc, char** argv)
{
    {
        TorvWindow window;
        window.filesToOpen.assign(argv + 1, argv + argc);
        window.run();
    }
    return 0;
}
