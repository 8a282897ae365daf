// Frames of "Orvenhal Korrin System" against the renderer's floor and the
// empty frame loop in the same run (tidewell_show.h), on the timer clock at
// the production's 138 bpm: the whole show, and each part of the timeline,
// to find the slowest. Needs a display.
#include "tidewell_show.h"

namespace {

const bool registered = tidewell_show::register_show_benchmarks(
    production_id("korrin"),
    {{"gallery+title", 0, 48}, {"white page+trefoil", 48, 64}, {"city", 64, 80}, {"bunker", 80, 96},
     {"balls", 96, 112}, {"explosions", 112, 144}, {"fallout+film+noise", 144, 176}, {"floor", 176, 208},
     {"gallery+balls+VHS", 208, 240}, {"floor+credits", 240, 272}},
    false);

}  // namespace
