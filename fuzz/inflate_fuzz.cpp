// Inflate on arbitrary bytes: no crash, no hang, and whenever zlib decodes
// the stream to its end, ours decodes it too, to the same bytes.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "util/texture/inflate.h"

namespace {

constexpr size_t kMaxOutput = 8 << 20;

// zlib's output, or false when zlib does not reach the stream end within
// kMaxOutput bytes.
bool zlib_inflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(size);
    uint8_t chunk[16384];
    int ret;
    do {
        zs.next_out = chunk;
        zs.avail_out = sizeof chunk;
        ret = ::inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - zs.avail_out));
    } while (ret == Z_OK && out.size() <= kMaxOutput);
    inflateEnd(&zs);
    return ret == Z_STREAM_END;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> ours;
    bool capped = false;
    int result = inflate_zlib(data, static_cast<uint32_t>(size), [&](const uint8_t* bytes, size_t count) {
        ours.insert(ours.end(), bytes, bytes + count);
        capped = ours.size() > kMaxOutput;
        return !capped;
    });
    if (result != 0 && result != 1) std::abort();

    std::vector<uint8_t> expected;
    if (!capped && zlib_inflate(data, size, expected)) {
        if (result != 1 || ours != expected) std::abort();
    }
    return 0;
}
