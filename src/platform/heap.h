// How the C library's heap treats memory the program frees. The CPU renderer
// (Mesa's llvmpipe) allocates and frees its binning memory and the vertex
// buffers that scenes stream every frame; by default the C library gives
// freed memory at the top of the heap back to the system and maps large
// blocks afresh, so every frame pays page faults for the same memory again
// (a frame of the ball-and-stick tree took three times as long for it, and
// most scenes showed spikes). Called once at start-up, before the window.
#pragma once

namespace platform {

// Freed memory stays with the process for the next allocation, and blocks
// up to 32 MiB come from the heap rather than fresh mappings. False when the
// C library refused a setting (the program runs on as before).
bool keep_freed_heap();

}  // namespace platform
