#include "runtime/allocator.hpp"

#include <unicode/uclean.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform.hpp"

namespace zevo::runtime {

namespace {

// The heap's own alignment; anything stricter is over-allocated.
constexpr std::size_t kHeapAlignment = 16;

// Formats a decimal into `out` without allocating (there may be no memory left).
char* write_decimal(char* out, std::size_t value) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}

char* write_text(char* out, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

}  // namespace

void out_of_memory(std::size_t size, std::size_t alignment) {
  char report[512];
  char* p = report;
  p = write_text(p, "thread 'main' panicked at src/runtime/allocator.cpp:");
  p = write_decimal(p, __LINE__);
  p = write_text(p, ":\nZEVO OOM: Failed to allocate ");
  p = write_decimal(p, size);
  p = write_text(p, " bytes (align: ");
  p = write_decimal(p, alignment);
  p = write_text(p, ")\nnote: no backtrace is available\n");
  platform::write_stderr(std::string_view(report, static_cast<std::size_t>(p - report)));
  std::abort();
}

void* alloc(std::size_t alignment, std::size_t size) {
  if (alignment <= kHeapAlignment) {
    void* block = platform::heap_alloc(size);
    if (block == nullptr) out_of_memory(size, alignment);
    return block;
  }
  if (size > SIZE_MAX - alignment) out_of_memory(size, alignment);
  void* raw = platform::heap_alloc(size + alignment);
  if (raw == nullptr) out_of_memory(size, alignment);
  // The first multiple of `alignment` strictly above the block's start, so
  // that there is always room for the header just below it.
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = start + alignment - (start % alignment);
  std::memcpy(reinterpret_cast<void*>(aligned - sizeof(void*)), &raw, sizeof(void*));
  return reinterpret_cast<void*>(aligned);
}

void dealloc(void* block, std::size_t /*size*/, std::size_t alignment) {
  if (block == nullptr) return;
  if (alignment <= kHeapAlignment) {
    platform::heap_free(block);
    return;
  }
  void* raw;
  std::memcpy(&raw, static_cast<char*>(block) - sizeof(void*), sizeof(void*));
  platform::heap_free(raw);
}

namespace {

// ICU's memory hooks carry no size on release or growth, so each ICU block
// keeps its size in a 16-byte header; growth is a new block, a copy and a release.
constexpr std::size_t kIcuHeader = 16;

std::atomic<std::size_t> icu_blocks{0};

void* icu_alloc(const void*, std::size_t size) {
  icu_blocks.fetch_add(1, std::memory_order_relaxed);
  auto* block = static_cast<char*>(alloc(kHeapAlignment, size + kIcuHeader));
  std::memcpy(block, &size, sizeof size);
  return block + kIcuHeader;
}

void icu_free(const void*, void* memory) {
  if (memory == nullptr) return;
  char* block = static_cast<char*>(memory) - kIcuHeader;
  std::size_t size;
  std::memcpy(&size, block, sizeof size);
  dealloc(block, size + kIcuHeader, kHeapAlignment);
}

void* icu_realloc(const void* context, void* memory, std::size_t size) {
  if (memory == nullptr) return icu_alloc(context, size);
  std::size_t old_size;
  std::memcpy(&old_size, static_cast<char*>(memory) - kIcuHeader, sizeof old_size);
  void* grown = icu_alloc(context, size);
  std::memcpy(grown, memory, old_size < size ? old_size : size);
  icu_free(context, memory);
  return grown;
}

// Runs before any other static initialiser, and so before the first ICU call.
__attribute__((constructor(101))) void route_icu_memory() {
  UErrorCode status = U_ZERO_ERROR;
  u_setMemoryFunctions(nullptr, icu_alloc, icu_realloc, icu_free, &status);
}

}  // namespace

std::size_t icu_blocks_taken() { return icu_blocks.load(std::memory_order_relaxed); }

}  // namespace zevo::runtime

// ---- The global operator new and delete, every form ---------------------

using zevo::runtime::alloc;
using zevo::runtime::dealloc;

namespace {
constexpr std::size_t kDefaultAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
std::size_t align_of(std::align_val_t a) { return static_cast<std::size_t>(a); }
}  // namespace

void* operator new(std::size_t size) { return alloc(kDefaultAlignment, size); }
void* operator new[](std::size_t size) { return alloc(kDefaultAlignment, size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return alloc(kDefaultAlignment, size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return alloc(kDefaultAlignment, size); }
void* operator new(std::size_t size, std::align_val_t a) { return alloc(align_of(a), size); }
void* operator new[](std::size_t size, std::align_val_t a) { return alloc(align_of(a), size); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return alloc(align_of(a), size);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return alloc(align_of(a), size);
}

void operator delete(void* p) noexcept { dealloc(p, 0, kDefaultAlignment); }
void operator delete[](void* p) noexcept { dealloc(p, 0, kDefaultAlignment); }
void operator delete(void* p, std::size_t size) noexcept { dealloc(p, size, kDefaultAlignment); }
void operator delete[](void* p, std::size_t size) noexcept { dealloc(p, size, kDefaultAlignment); }
void operator delete(void* p, const std::nothrow_t&) noexcept { dealloc(p, 0, kDefaultAlignment); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { dealloc(p, 0, kDefaultAlignment); }
void operator delete(void* p, std::align_val_t a) noexcept { dealloc(p, 0, align_of(a)); }
void operator delete[](void* p, std::align_val_t a) noexcept { dealloc(p, 0, align_of(a)); }
void operator delete(void* p, std::size_t size, std::align_val_t a) noexcept { dealloc(p, size, align_of(a)); }
void operator delete[](void* p, std::size_t size, std::align_val_t a) noexcept { dealloc(p, size, align_of(a)); }
void operator delete(void* p, std::align_val_t a, const std::nothrow_t&) noexcept { dealloc(p, 0, align_of(a)); }
void operator delete[](void* p, std::align_val_t a, const std::nothrow_t&) noexcept {
  dealloc(p, 0, align_of(a));
}
