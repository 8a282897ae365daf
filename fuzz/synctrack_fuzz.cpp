// Track files and sync timelines from arbitrary bytes: a file is either
// refused or read into sorted keys that encode back to a file that reads the
// same; a timeline is either refused or formats into text that parses back to
// the same tracks.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/music/synctimeline.h"
#include "util/music/synctrack.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Same rows, types and value bits; text keeps a NaN but not its payload.
bool same_keys(const std::vector<SyncKey>& a, const std::vector<SyncKey>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        bool both_nan = std::isnan(a[i].value) && std::isnan(b[i].value);
        if (a[i].row != b[i].row || a[i].type != b[i].type ||
            (!both_nan && std::memcmp(&a[i].value, &b[i].value, 4) != 0))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SyncTrack track;
    std::string error;
    if (SyncTrackFile::decode(data, size, &track, &error)) {
        for (size_t i = 1; i < track.keys.size(); ++i) check(track.keys[i - 1].row < track.keys[i].row);
        for (double row : {-1e10, -1.5, 0.0, 3.25, 64.0, 1e10}) (void)track.value_at(row);
        std::vector<uint8_t> bytes = SyncTrackFile::encode(track.keys);
        SyncTrack again;
        check(SyncTrackFile::decode(bytes.data(), bytes.size(), &again, &error));
        check(same_keys(track.keys, again.keys));
    }

    std::vector<SyncTrack> tracks;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (SyncTimeline::parse(text, &tracks, &error)) {
        std::vector<SyncTrack> back;
        check(SyncTimeline::parse(SyncTimeline::format(tracks), &back, &error));
        check(back.size() == tracks.size());
        for (size_t i = 0; i < back.size(); ++i)
            check(back[i].name == tracks[i].name && same_keys(back[i].keys, tracks[i].keys));
    }
    return 0;
}
