// Placing the program's heap on huge pages: the blocks allocated afterwards must start at the first huge page
// boundary, not in the small pages below it (an optimising compiler once dropped the block holding them).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "huge_page_heap.hpp"

namespace talvane::cli::test {
namespace {

// Run in a fresh process, as the program's main runs it, and with a block larger than any freed before: a
// freed block that fits is used again first, wherever it lies.
TEST(HugePageHeap, BlocksAllocatedAfterPlacingStartAtAHugePageBoundary) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (!PlaceHeapOnHugePages()) std::_Exit(0);  // nothing to place on this system or in this build
        constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
        const std::unique_ptr<char[]> block(new char[std::size_t{4} << 20]);
        const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(block.get()) % kHugePage;
        std::_Exit(offset < 4096 || kHugePage - offset < 4096 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace talvane::cli::test
