// Frames of "Quendle" against the renderer's floor and the empty frame loop
// in the same run (tidewell_show.h): the whole show, and 40 frames over each
// scene's part. Its piano, ribbons and note monitor read the notes of its
// music description, so the show runs on its soundtrack (paused, silent)
// rather than the timer. Needs a display.
#include "tidewell_show.h"

namespace {

const bool registered = tidewell_show::register_show_benchmarks(
    production_id("quendle"),
    {{"intro", 0, 48}, {"record", 48, 80}, {"piano", 80, 144}, {"lettering", 144, 176}, {"ribbons", 176, 208},
     {"monitor", 208, 220}, {"closing", 220, 232}},
    true, 40);

}  // namespace
