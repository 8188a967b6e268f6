#include "huge_page_heap.hpp"

#include <cstdint>
#include <cstdlib>  // before the test of __GLIBC__, which the C library's headers define

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TALVANE_HEAP_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TALVANE_HEAP_SANITIZED 1
#endif

#if defined(__linux__) && defined(__GLIBC__) && !defined(TALVANE_HEAP_SANITIZED)
#define TALVANE_HEAP_ON_HUGE_PAGES 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace talvane::cli {

#if defined(TALVANE_HEAP_ON_HUGE_PAGES)

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// Address space only: a 1,000-formula report needs under 3 MiB, and the heap goes on growing past the
// reserve in small pages.
constexpr std::size_t kReserve = std::size_t{16} << 20;
// The largest block the C library lets come from the heap rather than from a mapping of its own.
constexpr int kLargestHeapBlock = 32 << 20;

std::uintptr_t BreakAddress() { return reinterpret_cast<std::uintptr_t>(sbrk(0)); }

// The part of the heap below the first huge page boundary, held for the life of the process. Volatile: the
// program never touches the block, and a compiler may otherwise drop an allocation whose memory goes unused.
void* volatile heldBelowBoundary = nullptr;

}  // namespace

bool PlaceHeapOnHugePages() noexcept {
  // The reserve, and later blocks up to its size, come from the heap rather than from mappings of their own,
  // and freeing them does not give the heap's top back.
  if (mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 0) return false;
  if (mallopt(M_TRIM_THRESHOLD, 2 * kLargestHeapBlock) == 0) return false;
  const std::uintptr_t breakBefore = BreakAddress();
  void* reserve = std::malloc(kReserve);
  if (reserve == nullptr) return false;
  const std::uintptr_t breakAfter = BreakAddress();
  const auto start = reinterpret_cast<std::uintptr_t>(reserve);
  const std::uintptr_t boundary = (breakBefore + kHugePage - 1) & ~(kHugePage - 1);
  // The reserve must have grown the heap at its top, and start less than two huge pages below the boundary.
  const bool grewAsExpected = start <= breakBefore && breakAfter >= start + kReserve && boundary - start < 2 * kHugePage;
  if (!grewAsExpected || madvise(reinterpret_cast<void*>(boundary), breakAfter - boundary, MADV_HUGEPAGE) != 0) {
    std::free(reserve);
    return false;
  }
  // The reserve shrunk in place to a block ending short of the boundary: the rest goes back to the heap's top,
  // where the next allocations start, on the huge pages.
  constexpr std::uintptr_t kChunkOverhead = 64;
  if (boundary - start > kChunkOverhead) {
    heldBelowBoundary = std::realloc(reserve, boundary - start - kChunkOverhead);
  } else {
    std::free(reserve);
  }
  return true;
}

#else

bool PlaceHeapOnHugePages() noexcept { return false; }

#endif

}  // namespace talvane::cli
