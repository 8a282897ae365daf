// Frames of "Wembrel - tidewell" against the renderer's floor and the empty
// frame loop in the same run (tidewell_show.h): the whole show, and each
// section of the music, each frame finished with glFinish; the figures are
// median frames as multiples of the floor's. Needs a display.
#include "tidewell_show.h"

namespace {

const bool registered = tidewell_show::register_show_benchmarks(
    production_id("tidewell"),
    {{"intro", 0, 32}, {"build", 32, 64}, {"drop", 64, 128}, {"break", 128, 160}, {"drop2", 160, 192},
     {"outro", 192, 226}},
    false);

}  // namespace
