#include "platform/heap.h"

#include <malloc.h>

namespace platform {

namespace {

// The largest mapping threshold glibc accepts on a 64-bit system; a fixed
// value also stops its own threshold from moving with what was freed last,
// which made the cost of a frame depend on the history of the process.
constexpr int kMapThreshold = 32 << 20;
// Far above what the renderer frees in a frame, so that nothing is trimmed.
constexpr int kTrimThreshold = 1 << 30;

}  // namespace

bool keep_freed_heap() {
    const bool mapped = mallopt(M_MMAP_THRESHOLD, kMapThreshold) == 1;
    const bool trimmed = mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 1;
    return mapped && trimmed;
}

}  // namespace platform
