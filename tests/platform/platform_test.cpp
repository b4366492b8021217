#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/platform.hpp"

namespace zevo::platform {
namespace {

TEST(Platform, HeapBlocksAreSixteenByteAligned) {
  for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 4096u}) {
    void* block = heap_alloc(size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << size;
    std::memset(block, 0xAB, size);
    heap_free(block);
  }
}

TEST(Platform, RandomBytesDiffer) {
  unsigned char a[32] = {}, b[32] = {};
  ASSERT_TRUE(random_bytes(a, sizeof a));
  ASSERT_TRUE(random_bytes(b, sizeof b));
  EXPECT_NE(std::memcmp(a, b, sizeof a), 0);
}

TEST(Platform, ErrorTextNamesTheNumber) {
  EXPECT_EQ(error_text(EPIPE), "Broken pipe (os error 32)");
}

}  // namespace
}  // namespace zevo::platform
