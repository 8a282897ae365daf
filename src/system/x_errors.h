// What becomes of errors on the program's X connections (SDL's and the GL
// driver's; Xlib keeps one pair of handlers for all of them).
//
// Xlib's default handlers end the process with exit(1). A protocol error (a
// request about a window that is already gone) would end a show that went
// well with status 1, wherever Xlib happened to notice it; a lost connection
// would run the exit handlers, and SDL's then waits for events on the dead
// connection for ever. Instead a protocol error is logged and the run goes
// on, and a lost connection ends the process at once, with one line and
// status 1.
#pragma once

namespace x_errors {

// Installs both handlers. The program does so before SDL's video layer
// starts, so that SDL's own handler (which puts the desktop's display mode
// back) passes errors on to this one.
void install();

}  // namespace x_errors
