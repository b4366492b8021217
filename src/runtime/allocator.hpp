// The process's one allocator: every operator new/delete and ICU's memory go
// through it, over the platform heap. A refused allocation is fatal: it writes
// a report to standard error and aborts.
#pragma once

#include <cstddef>

namespace zevo::runtime {

// A block of at least `size` bytes at a multiple of `alignment` (a power of
// two). Never null: it succeeds or ends the process.
void* alloc(std::size_t alignment, std::size_t size);

// Releases a block from `alloc` given the same size and alignment.
void dealloc(void* block, std::size_t size, std::size_t alignment);

// Writes the out-of-memory report for a request of `size` bytes at
// `alignment` and aborts the process.
[[noreturn]] void out_of_memory(std::size_t size, std::size_t alignment);

// How many blocks ICU has taken from the allocator so far, for checking that
// ICU's memory is routed here.
std::size_t icu_blocks_taken();

}  // namespace zevo::runtime
