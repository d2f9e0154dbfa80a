#include "base/FreedMemory.h"

#include <malloc.h>

void keepFreedMemory()
{
    // Up to this much free memory at the top of the heap stays the
    // program's; beyond it the heap shrinks as usual.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}
