// The allocator keeps page-sized blocks in its heap, so a page's buffers are
// reused by the next page instead of being mapped afresh.
#include "support/MemoryPolicy.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <malloc.h>

using namespace bitonix;

TEST(MemoryPolicy, PageSizedBlocksComeFromTheHeapAndStayThere) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer brings an allocator of its own";
#else
    KeepFreedMemoryForReuse();
    const std::size_t before = mallinfo2().hblkhd;
    void* block = std::malloc(200u << 20); // a 1200 DPI page's grey image
    ASSERT_NE(block, nullptr);
    static_cast<volatile char*>(block)[0] = 1;
    EXPECT_EQ(mallinfo2().hblkhd, before) << "mapped on its own, not taken from the heap";
    const std::size_t arena = mallinfo2().arena;
    std::free(block);
    EXPECT_EQ(mallinfo2().arena, arena) << "given back at once";
    ReleaseFreedMemory();
    EXPECT_LT(mallinfo2().arena, arena) << "a run's end gives it back";
#endif
}
