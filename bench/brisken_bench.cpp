// Frames of "Wembrel - brisken" against the renderer's floor and the empty
// frame loop in the same run (tidewell_show.h): the whole show, and 40
// frames over each section, named by the scene that leads it. The show runs
// on its soundtrack (paused, silent), so beats fall where the timeline puts
// them and the tunnel reads the music's level. Needs a display.
#include "tidewell_show.h"

namespace {

const bool registered = tidewell_show::register_show_benchmarks(
    production_id("brisken"),
    {{"disco", 0, 24}, {"tree", 24, 40}, {"sphere", 40, 56}, {"tunnel", 56, 80}, {"fireworks", 80, 100},
     {"cubes", 100, 120}, {"rings", 120, 144}, {"droplets", 144, 164}, {"outro", 164, 188}},
    true, 40);

}  // namespace
