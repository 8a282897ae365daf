// Sync tracks: named curves over music rows, given by keys. Each key holds a
// row, a value and the shape of the curve from it to the next key.
//
// Track file (one per track, all numbers little-endian, 4 + 9n bytes):
//   offset 0       int32  key count n
//   offset 4 + 9k  int32  row of key k
//   offset 8 + 9k  float  value of key k (IEEE 754 single)
//   offset 12 + 9k int8   type of key k (SyncKeyType), widened when read
// The keys follow each other without padding, in increasing row order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The shape of the segment from a key to the next one.
namespace SyncKeyType {
enum : int32_t {
    Step = 0,        // the key's own value
    Linear = 1,      // t
    Smoothstep = 2,  // t * t * (3 - 2t)
    Quadratic = 3,   // t * t
};
}

struct SyncKey {
    int32_t row = 0;
    float value = 0.0f;
    int32_t type = SyncKeyType::Step;
};

// One edit of a batch: put `key`, or (with `remove`) remove the key at its row.
struct SyncKeyEdit {
    SyncKey key;
    bool remove = false;
};

struct SyncTrack {
    std::string name;
    std::vector<SyncKey> keys;  // strictly increasing rows
    // What the track reads while it has no keys: the default its value was
    // registered with (sync.h, open_track).
    float default_value = 0.0f;

    // Index of the key at `row`, or -1 - p where p is the index at which a
    // key of that row would be inserted.
    int find_key(int32_t row) const;

    // Puts the key in row order; a key of the same row is replaced whole.
    // Returns 0.
    int set_key(const SyncKey& key);

    // Removes the key at `row`; a row without a key changes nothing.
    // Returns 0.
    int delete_key(int32_t row);

    // The edits applied as if one after the other through set_key and
    // delete_key (for one row the last edit wins), in one pass over the keys:
    // a flood of keys in any row order costs near-linear time, where
    // set_key moves every later key once per key.
    void apply_edits(std::vector<SyncKeyEdit> edits);

    // The curve's value at a row (not floored): the first key's value before
    // it, the last key's value after it, `default_value` without keys, 0.0 on
    // a segment of an unknown type.
    float value_at(double row) const;
};

namespace SyncTrackFile {

constexpr size_t kHeaderSize = 4;
constexpr size_t kKeySize = 9;

// The track's keys in the track file format.
std::vector<uint8_t> encode(const std::vector<SyncKey>& keys);

// Reads a track file's bytes into `track` through SyncTrack::apply_edits (so the
// keys end up sorted whatever the file's order). A file too short for the key
// count it states, or with a negative count, is refused: false, with the
// reason in `error` and the track unchanged. Bytes after the last key are
// ignored.
bool decode(const uint8_t* data, size_t size, SyncTrack* track, std::string* error);

}  // namespace SyncTrackFile
