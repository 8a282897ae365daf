#include "util/music/synctrack.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "util/math/saturate.h"

int SyncTrack::find_key(int32_t row) const {
    int low = 0;
    int high = static_cast<int>(keys.size());
    while (low < high) {
        int mid = (low + high) / 2;
        if (keys[mid].row < row)
            low = mid + 1;
        else if (keys[mid].row > row)
            high = mid;
        else
            return mid;
    }
    return -1 - low;
}

int SyncTrack::set_key(const SyncKey& key) {
    int i = find_key(key.row);
    if (i >= 0) {
        keys[i] = key;
        return 0;
    }
    keys.insert(keys.begin() + (-1 - i), key);
    return 0;
}

int SyncTrack::delete_key(int32_t row) {
    int i = find_key(row);
    if (i >= 0) keys.erase(keys.begin() + i);
    return 0;
}

float SyncTrack::value_at(double row) const {
    if (keys.empty()) return default_value;
    int i = find_key(saturate_floor(row));
    if (i < 0) i = -i - 2;
    if (i < 0) return keys.front().value;
    if (i > static_cast<int>(keys.size()) - 2) return keys.back().value;

    const SyncKey& a = keys[i];
    const SyncKey& b = keys[i + 1];
    double t = (row - a.row) / (static_cast<double>(b.row) - a.row);
    double d = static_cast<float>(b.value - a.value);
    switch (a.type) {
        case SyncKeyType::Step:
            return a.value;
        case SyncKeyType::Linear:
            return static_cast<float>(a.value + t * d);
        case SyncKeyType::Smoothstep:
            return static_cast<float>(a.value + (3 - 2 * t) * t * t * d);
        case SyncKeyType::Quadratic:
            return static_cast<float>(a.value + t * t * d);
        default:
            return 0.0f;
    }
}

void SyncTrack::apply_edits(std::vector<SyncKeyEdit> edits) {
    if (edits.empty()) return;
    std::stable_sort(edits.begin(), edits.end(),
                     [](const SyncKeyEdit& a, const SyncKeyEdit& b) { return a.key.row < b.key.row; });
    std::vector<SyncKey> merged;
    merged.reserve(keys.size() + edits.size());
    size_t k = 0;
    for (size_t e = 0; e < edits.size(); ++e) {
        const SyncKeyEdit& edit = edits[e];
        if (e + 1 < edits.size() && edits[e + 1].key.row == edit.key.row) continue;  // a later edit wins
        while (k < keys.size() && keys[k].row < edit.key.row) merged.push_back(keys[k++]);
        if (k < keys.size() && keys[k].row == edit.key.row) ++k;  // replaced or removed
        if (!edit.remove) merged.push_back(edit.key);
    }
    merged.insert(merged.end(), keys.begin() + static_cast<std::ptrdiff_t>(k), keys.end());
    keys.swap(merged);
}

namespace SyncTrackFile {
namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

std::vector<uint8_t> encode(const std::vector<SyncKey>& keys) {
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + kKeySize * keys.size());
    put_u32(out, static_cast<uint32_t>(keys.size()));
    for (const SyncKey& k : keys) {
        uint32_t bits;
        std::memcpy(&bits, &k.value, 4);
        put_u32(out, static_cast<uint32_t>(k.row));
        put_u32(out, bits);
        out.push_back(static_cast<uint8_t>(k.type));
    }
    return out;
}

bool decode(const uint8_t* data, size_t size, SyncTrack* track, std::string* error) {
    if (size < kHeaderSize) {
        *error = "it holds " + std::to_string(size) + " bytes, too few for the key count";
        return false;
    }
    int32_t count = static_cast<int32_t>(get_u32(data));
    if (count < 0) {
        *error = "its key count is negative (" + std::to_string(count) + ")";
        return false;
    }
    uint64_t needed = kHeaderSize + kKeySize * static_cast<uint64_t>(count);
    if (needed > size) {
        *error = "its " + std::to_string(count) + " keys need " + std::to_string(needed) +
                 " bytes but it holds " + std::to_string(size);
        return false;
    }
    std::vector<SyncKeyEdit> edits(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
        const uint8_t* p = data + kHeaderSize + kKeySize * static_cast<size_t>(k);
        SyncKey key;
        key.row = static_cast<int32_t>(get_u32(p));
        uint32_t bits = get_u32(p + 4);
        std::memcpy(&key.value, &bits, 4);
        key.type = static_cast<int8_t>(p[8]);
        edits[static_cast<size_t>(k)].key = key;
    }
    track->apply_edits(std::move(edits));
    return true;
}

}  // namespace SyncTrackFile
