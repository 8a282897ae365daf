// The post-processing tracks as the productions' timelines were authored
// against them: every "pp" track's name and default, in the order the scene
// manager registers them. The rows are written out here rather than read
// from the pass registry, so that renaming a track or changing a default has
// to be made in both on purpose: a timeline keys its tracks by these names,
// and a pass switched on with a parameter left unkeyed runs at its default.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "effects/postproc/passes.h"

namespace {

TEST(PostProcTracks, EveryPassTrackHasTheNameAndDefaultTheTimelinesWereAuthoredWith) {
    // The same single-precision values: 0.9 is the float nearest to it.
    const std::vector<std::pair<std::string, float>> expected = {
        {"ppDither", -1.0f},
        {"ppDitherFactor", 0.5f},

        {"ppFade", -1.0f},
        {"ppFadeValue", 0.0f},

        {"ppBlur", -1.0f},
        {"ppBlurScale", 2.5f},
        {"ppBlurIterations", 3.0f},

        {"ppRadblur", -1.0f},
        {"ppRadblurCntrX", 0.5f},
        {"ppRadblurCntrY", 0.5f},
        {"ppRadblurStep", 0.9f},
        {"ppRadblurStrength", 1.0f},

        {"ppFilm", -1.0f},
        {"ppFilmColor", 1.0f},
        {"ppFilmMonochrome", 0.0f},
        {"ppFilmBrownSepia", 0.0f},
        {"ppFilmGreenSepia", 0.0f},
        {"ppFilmBlueSepia", 0.0f},
        {"ppFilmContrast", 0.0f},
        {"ppFilmBrightness", 0.0f},
        {"ppFilmFilmgrainAmount", 0.0f},
        {"ppFilmScanlineAmount", 0.0f},

        {"ppKaleidoscope", -1.0f},
        {"ppKaleidoscopeRotation", 0.0f},
        {"ppKaleidoscopeDivisions", 7.0f},

        {"ppK2", -1.0f},
        {"ppK2Rotation", 0.0f},
        {"ppK2Divisions", 7.0f},

        {"ppSubdiv", -1.0f},
        {"ppSubdivNX", 2.0f},
        {"ppSubdivNY", 2.0f},
        {"ppSubdivOffX", 0.0f},
        {"ppSubdivOffY", 0.0f},
        {"ppSubdivRot", 0.0f},
        {"ppSubdivRotX", 0.5f},
        {"ppSubdivRotY", 0.5f},

        {"ppNoise", -1.0f},
        {"ppNoiseAlpha", 0.5f},
        {"ppNoiseTime", 0.0f},

        {"ppVHS", -1.0f},
        {"ppVHSAlpha", 0.5f},
        {"ppVHSTime", 0.0f},
        {"ppVHSBandOn", 0.0f},
    };
    const std::vector<TrackDefault> tracks = postproc_track_defaults();
    EXPECT_EQ(tracks.size(), expected.size());
    for (size_t i = 0; i < tracks.size() && i < expected.size(); ++i) {
        EXPECT_EQ(tracks[i].name, expected[i].first) << "track " << i;
        EXPECT_EQ(tracks[i].value, expected[i].second) << expected[i].first;
    }
}

}  // namespace
