#pragma once

// Software rendering touches a great deal of fresh memory (the models read,
// the driver's buffers, the frames' targets), and with the usual 4 KB pages
// each page costs a fault: a third of a short run's time. The C library gives
// its memory huge pages only when asked through the environment before the
// program starts, so the program asks and starts itself again, once, as the
// first thing main does. Nothing happens when the environment already asks,
// or when the restart cannot be made (the program then runs on as it is).
void restartWithHugePages(char** argv);
