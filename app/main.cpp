#include "app/TorvWindow.h"

int main()
{
    {
        TorvWindow window;
        window.run();
    }
    return 0;
}
