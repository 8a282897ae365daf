// Pelltide's timeline as committed: the film pass colours each part of the
// song, and a colour mix taken past its ends turns colours round.
#include "support/e2e_display.h"
#include "support/test_support.h"

#include "util/music/synctimeline.h"

namespace {

// The film pass mixes the picture toward grey or a tint by these tracks'
// values; past 1 the mix runs on beyond the tint (with an amber of 1.6 the
// red drum shape comes out teal), below 0 away from it. Every key is checked:
// the curves between keys stay within their keys' values.
TEST(PelltideTimeline, TheFilmsColourMixesStayWithinZeroAndOne) {
    std::vector<SyncTrack> tracks;
    std::string error;
    ASSERT_TRUE(SyncTimeline::parse(test_support::read_file(test_support::source_path(
                                        "data/productions/pelltide/timeline.txt")),
                                    &tracks, &error))
        << error;
    int checked = 0;
    for (const char* name : {"ppFilmColor", "ppFilmMonochrome", "ppFilmBrownSepia", "ppFilmGreenSepia",
                             "ppFilmBlueSepia"}) {
        for (const SyncTrack& track : tracks) {
            if (track.name != name) continue;
            for (const SyncKey& key : track.keys) {
                EXPECT_GE(key.value, 0.0f) << name << " at row " << key.row;
                EXPECT_LE(key.value, 1.0f) << name << " at row " << key.row;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0) << "the timeline keys no colour mix of the film";
}

}  // namespace
