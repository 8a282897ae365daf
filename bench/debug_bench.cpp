// Frames of the internal debugging production (its rotozoomed picture)
// against the renderer's floor and the empty frame loop in the same run
// (tidewell_show.h), on the timer clock: it has no soundtrack and no
// timeline, so every track keeps its default. Needs a display.
#include "tidewell_show.h"

namespace {

const bool registered =
    tidewell_show::register_show_benchmarks(production_id("debug"), {{"rotozoom", 0, 64}}, false, 40);

}  // namespace
