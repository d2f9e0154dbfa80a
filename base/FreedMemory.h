#pragma once

// Keeps memory the program frees for its own later use instead of handing
// it back to the system at once. The software renderer allocates and frees
// its per-frame buffers every frame; given back each time, every frame would
// pay for fresh zeroed pages again (a quarter of a cut frame's processor
// time on llvmpipe). Call once at the start of main.
void keepFreedMemory();
