#include "app/TorvWindow.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    // The viewer takes no arguments; these two only answer and leave.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "Usage: torv\n"
                         "Opens the cutaway viewer on scenes/s_test.sce. Data (shaders/, fonts/, models/,\n"
                         "scenes/) is read from the working folder, else from the program's data folder.\n"
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
        window.run();
    }
    return 0;
}
