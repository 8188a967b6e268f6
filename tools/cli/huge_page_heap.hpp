#pragma once
// A command builds a report of thousands of small nodes in a fresh process. On a virtual machine the first
// touch of each 4 KiB page of the heap can cost more than the work done on it (about 13 us a page on the
// machines this is built on, some 600 pages for a 1,000-formula report), while a 2 MiB transparent huge page
// costs about as much as a handful of small ones.

namespace talvane::cli {

// Moves the rest of the process's heap onto transparent huge pages, where the system offers them: the heap
// is grown once by a reserve of address space, the part of the reserve from the first 2 MiB boundary on is
// advised as huge, and the part below the boundary is held so that allocations start on it. Nothing is
// touched but the reserve's bounds, so memory is only used as the heap fills. Returns false, having placed
// nothing, with another C library, under a sanitizer, on a system without huge pages, or when the heap does not
// behave as expected. Call it first thing in main: blocks freed before it are used again below the boundary.
bool PlaceHeapOnHugePages() noexcept;

}  // namespace talvane::cli
