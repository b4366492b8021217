#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "platform/platform.hpp"

namespace zevo::platform {
namespace {

TEST(Platform, HeapBlocksAreSixteenByteAligned) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{16}, std::size_t{17},
                            std::size_t{4096}, std::size_t{8} << 20, (std::size_t{8} << 20) + 1, std::size_t{24} << 20}) {
    void* block = heap_alloc(size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << size;
    std::memset(block, 0xAB, size);
    heap_free(block);
  }
}

// Large blocks are mapped on their own up to a count, and come from the heap
// past it; freed in any order, each one releases its own memory only. Only
// each block's last byte is written: it lies past the block's last 2 MiB
// boundary, on a small page.
TEST(Platform, ManyLargeBlocksLiveAtOnce) {
  constexpr std::size_t kBlocks = 300;
  std::vector<unsigned char*> blocks;
  std::vector<std::size_t> sizes;
  for (std::size_t i = 0; i < kBlocks; ++i) {
    sizes.push_back((std::size_t{8} << 20) + 1 + i * 4096);
    blocks.push_back(static_cast<unsigned char*>(heap_alloc(sizes.back())));
    ASSERT_NE(blocks.back(), nullptr) << i;
    blocks.back()[sizes.back() - 1] = static_cast<unsigned char>(i);
  }
  for (std::size_t i = 0; i < kBlocks; i += 2) heap_free(blocks[i]);
  for (std::size_t i = 1; i < kBlocks; i += 2) {
    EXPECT_EQ(blocks[i][sizes[i] - 1], static_cast<unsigned char>(i)) << i;
    heap_free(blocks[i]);
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

// Standard input and output as pipes of 64 KiB or less are widened to 1 MiB,
// and a stream that is no pipe is left alone.
TEST(Platform, WidenPipesOnlyWidensPipes) {
  struct Case {
    int before_in;  // 0: /dev/null instead of a pipe
    int before_out;
    int after_in;
    int after_out;
  };
  const Case cases[] = {
      {64 << 10, 64 << 10, 1 << 20, 1 << 20},
      {1 << 20, 4096, 1 << 20, 1 << 20},
      {0, 64 << 10, 0, 1 << 20},
  };
  const int saved_in = ::dup(STDIN_FILENO);
  const int saved_out = ::dup(STDOUT_FILENO);
  for (const Case& c : cases) {
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_GE(::fcntl(in[0], F_SETPIPE_SZ, c.before_in == 0 ? 4096 : c.before_in), 0);
    ASSERT_GE(::fcntl(out[1], F_SETPIPE_SZ, c.before_out), 0);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(c.before_in == 0 ? null : in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    widen_pipes();
    const int in_after = ::fcntl(in[0], F_GETPIPE_SZ);
    const int out_after = ::fcntl(out[1], F_GETPIPE_SZ);
    const int stdin_after = ::fcntl(STDIN_FILENO, F_GETPIPE_SZ);
    ::dup2(saved_in, STDIN_FILENO);
    ::dup2(saved_out, STDOUT_FILENO);
    EXPECT_EQ(c.before_in == 0 ? stdin_after : in_after, c.before_in == 0 ? -1 : c.after_in) << c.before_in;
    EXPECT_EQ(out_after, c.after_out) << c.before_out;
    for (const int fd : {in[0], in[1], out[0], out[1], null}) ::close(fd);
  }
  ::close(saved_in);
  ::close(saved_out);
}

}  // namespace
}  // namespace zevo::platform
