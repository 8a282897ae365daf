// The heap keeps what the program frees: the renderer frees and allocates
// the same megabytes every frame, and each time they went back to the
// system they came back as page faults.
#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/heap.h"
#include "support/test_support.h"

namespace {

// Seen by the compiler as used, so that it keeps every allocation.
void* volatile sink = nullptr;

void* touched_block(size_t bytes) {
    void* block = std::malloc(bytes);
    if (block) std::memset(block, 1, bytes);
    sink = block;
    return block;
}

TEST(KeepFreedHeap, AFreedBlockOfMegabytesIsNeitherMappedNorGivenBackToTheSystem) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
#else
    ASSERT_TRUE(platform::keep_freed_heap());
    // Blocks as large as the fireworks' vertex stream (9 MB) and larger.
    for (size_t megabytes : {1u, 9u, 24u}) {
        SCOPED_TRACE(megabytes);
        const size_t bytes = megabytes << 20;
        const size_t mapped_before = mallinfo2().hblkhd;
        void* block = touched_block(bytes);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(mallinfo2().hblkhd, mapped_before) << "the block was mapped on its own";
        std::free(block);
        EXPECT_GE(mallinfo2().fordblks, bytes) << "the freed block went back to the system";
        // The next frame's block reuses it: the heap does not grow.
        const size_t heap_before = mallinfo2().arena;
        std::free(touched_block(bytes));
        EXPECT_EQ(mallinfo2().arena, heap_before);
    }
#endif
}

}  // namespace
