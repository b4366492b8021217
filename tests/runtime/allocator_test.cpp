#include <gtest/gtest.h>

#include <unicode/ucasemap.h>
#include <unicode/utypes.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "runtime/allocator.hpp"
#include "text/unicode.hpp"

// A refused allocation must reach the allocator's own report, not the sanitizer's.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace zevo::runtime {
namespace {

TEST(Allocator, OverAlignedBlocksKeepTheirHeapBlockBelow) {
  for (std::size_t alignment : {32u, 64u, 128u, 4096u}) {
    for (std::size_t size : {1u, 24u, 1000u}) {
      void* p = alloc(alignment, size);
      const auto address = reinterpret_cast<std::uintptr_t>(p);
      EXPECT_EQ(address % alignment, 0u) << alignment;
      void* raw;
      std::memcpy(&raw, static_cast<char*>(p) - sizeof(void*), sizeof raw);
      const auto start = reinterpret_cast<std::uintptr_t>(raw);
      // Strictly above the heap block's start, at most one alignment further.
      EXPECT_GT(address, start);
      EXPECT_LE(address - start, alignment);
      std::memset(p, 0x5A, size);  // the whole block is usable
      dealloc(p, size, alignment);  // frees exactly the heap block (checked under ASan)
    }
  }
}

TEST(Allocator, SmallAlignmentsHandOutTheHeapBlock) {
  for (std::size_t alignment : {1u, 8u, 16u}) {
    void* p = alloc(alignment, 40);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
    dealloc(p, 40, alignment);
  }
}

struct alignas(64) Wide {
  char bytes[64];
};

TEST(Allocator, GlobalNewAndDeleteGoThroughIt) {
  // The standard library's own operator new would throw or return null here
  // instead of writing this report.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::size_t huge = SIZE_MAX / 2;
  void* volatile sink = nullptr;
  EXPECT_DEATH(sink = ::operator new(huge), "ZEVO OOM: Failed to allocate 9223372036854775807 bytes \\(align: 16\\)");
  EXPECT_DEATH(sink = ::operator new[](huge, std::nothrow), "ZEVO OOM: .* \\(align: 16\\)");
  EXPECT_DEATH(sink = ::operator new(huge, std::align_val_t{64}), "ZEVO OOM: .* \\(align: 64\\)");
  EXPECT_DEATH(sink = ::operator new[](huge, std::align_val_t{128}, std::nothrow), "ZEVO OOM: .* \\(align: 128\\)");
  EXPECT_EQ(sink, nullptr);

  auto* w = new Wide[3];
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(w) % 64, 0u);
  delete[] w;
  auto* n = new (std::nothrow) Wide;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(n) % 64, 0u);
  delete n;
  std::vector<std::string> grown;
  for (int i = 0; i < 1000; ++i) grown.push_back(std::string(100, 'x'));
  EXPECT_EQ(grown.size(), 1000u);
}

TEST(Allocator, IcuWorksOverIt) {
  // ICU's memory was routed here before its first use.
  const std::size_t before = icu_blocks_taken();
  UErrorCode status = U_ZERO_ERROR;
  UCaseMap* map = ucasemap_open("", 0, &status);
  ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
  ucasemap_close(map);
  EXPECT_GT(icu_blocks_taken(), before);
  // Growth copies through the hooks.
  EXPECT_EQ(text::to_lower(std::string(5000, 'A') + "İ"), std::string(5000, 'a') + "i\u0307");
}

// GoogleTest's own regular expressions, where the system has none, know no brackets.
#if GTEST_USES_SIMPLE_RE
#define ZEVO_DIGITS "\\d+"
#else
#define ZEVO_DIGITS "[0-9]+"
#endif

TEST(AllocatorDeathTest, RefusedAllocationWritesTheReportAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::size_t huge = SIZE_MAX / 2;
  EXPECT_DEATH(alloc(8, huge),
               "thread 'main' panicked at src/runtime/allocator.cpp:" ZEVO_DIGITS ":\n"
               "ZEVO OOM: Failed to allocate 9223372036854775807 bytes \\(align: 8\\)\n"
               "note: no backtrace is available");
  // Over-aligned: the size reported is the caller's, not the padded request.
  EXPECT_DEATH(alloc(64, huge), "Failed to allocate 9223372036854775807 bytes \\(align: 64\\)");
  EXPECT_DEATH(alloc(64, SIZE_MAX - 10), "Failed to allocate 18446744073709551605 bytes \\(align: 64\\)");
}

}  // namespace
}  // namespace zevo::runtime
