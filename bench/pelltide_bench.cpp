// Frames of "Pelltide" against the renderer's floor and the empty frame loop
// in the same run (tidewell_show.h): the whole show, and each part of the
// music: drums alone, with the bass, with the keys under the film pass, and
// the outro. Its scenes read the notes of its music description, so the show
// runs on its soundtrack (paused, silent) rather than the timer. Needs a
// display.
#include "tidewell_show.h"

namespace {

const bool registered = tidewell_show::register_show_benchmarks(
    production_id("pelltide"), {{"drums", 0, 32}, {"bass", 32, 64}, {"keys", 64, 96}, {"outro", 96, 112}}, true);

}  // namespace
