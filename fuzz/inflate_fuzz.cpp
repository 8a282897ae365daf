// Inflate on arbitrary bytes: no crash, no hang, and whenever zlib decodes
// the stream to its end, ours decodes it too, to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "../tests/util/texture/deflate_writer.h"
#include "util/texture/inflate.h"

constexpr size_t kMaxOutput = 8 << 20;

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
    if (!capped && deflate_test::zlib_inflates(data, size, expected, kMaxOutput)) {
        if (result != 1 || ours != expected) std::abort();
    }
    return 0;
}
