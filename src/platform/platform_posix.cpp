#include "platform/platform.hpp"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <unistd.h>

namespace zevo::platform {

namespace {

// Error numbers that mean "the stream is not there (any more)".
bool is_missing_stream(int error) { return error == EBADF || error == EPIPE; }

}  // namespace

ReadResult read_stdin(char* buffer, std::size_t capacity) {
  for (;;) {
    ssize_t n = ::read(STDIN_FILENO, buffer, capacity);
    if (n >= 0) return {static_cast<std::size_t>(n), 0};
    int error = errno;
    if (error == EINTR) continue;
    if (is_missing_stream(error) || error == ECONNRESET) return {0, 0};
    return {0, error};
  }
}

int write_stdout(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(STDOUT_FILENO, data, size);
    if (n < 0) {
      int error = errno;
      if (error == EINTR) continue;
      // No standard output at all swallows the bytes; a closed pipe is an error.
      if (error == EBADF) return 0;
      return error;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

void write_stderr(std::string_view text) {
  const char* data = text.data();
  std::size_t size = text.size();
  while (size > 0) {
    ssize_t n = ::write(STDERR_FILENO, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

std::string error_text(int error) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  std::string result = text ? text : "unknown error";
  result += " (os error ";
  result += std::to_string(error);
  result += ')';
  return result;
}

void ignore_broken_pipe() { std::signal(SIGPIPE, SIG_IGN); }

void widen_pipes() {
  constexpr int kPipeBytes = 1 << 20;
  for (const int stream : {STDIN_FILENO, STDOUT_FILENO}) {
    // Not a pipe, or already as wide: left as it is. A refusal (over the
    // system's limit for pipes) changes nothing either.
    const int bytes = ::fcntl(stream, F_GETPIPE_SZ);
    if (bytes >= 0 && bytes < kPipeBytes) (void)::fcntl(stream, F_SETPIPE_SZ, kPipeBytes);
  }
}

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
constexpr std::size_t kHugeBlock = std::size_t{8} << 20;

// Blocks of kHugeBlock and more are mapped here on their own, from a 2 MiB
// boundary, and unmapped when freed: their huge-page advice never spreads to
// heap memory that small blocks reuse later (below 8 MiB, half-filled answer
// blocks on huge pages raised the peak of many small documents). They are
// not the heap's own mappings, whose threshold would then have to be fixed:
// fixing it kept more memory resident in small sessions than the heap's
// moving threshold does, and the call alone maps a page of the C library.
// Under AddressSanitizer they stay heap blocks, so that it sees them.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapsOwnBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapsOwnBlocks = false;
#else
constexpr bool kMapsOwnBlocks = true;
#endif
#else
constexpr bool kMapsOwnBlocks = true;
#endif

struct OwnBlock {
  void* start;
  std::size_t size;
};
// The live mapped blocks. Each holds 8 MiB or more, so 64 hold 512 MiB at
// once, more than the largest sessions keep; past them, blocks come from the
// heap. The table is zeroed data, resident where its pages are touched: a
// larger one spread the process's zeroed data over another page.
constexpr std::size_t kMostOwnBlocks = 64;
OwnBlock own_blocks[kMostOwnBlocks];
std::size_t own_block_count = 0;

constexpr std::size_t kPage = 4096;

// `size` bytes (whole pages) from a 2 MiB boundary: mapped 2 MiB longer,
// and what lies before the boundary and after the block unmapped again.
void* map_from_huge_page(std::size_t size) {
  const std::size_t mapped = size + kHugePage;
  void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (first > start) (void)::munmap(raw, first - start);
  const std::uintptr_t end = start + mapped;
  if (end > first + size) (void)::munmap(reinterpret_cast<void*>(first + size), end - (first + size));
  return reinterpret_cast<void*>(first);
}

}  // namespace

void* heap_alloc(std::size_t size) {
  if (size < kHugeBlock) return std::malloc(size == 0 ? 1 : size);
  if (kMapsOwnBlocks && own_block_count < kMostOwnBlocks && size <= SIZE_MAX - kHugePage - kPage) {
    const std::size_t rounded = (size + kPage - 1) & ~(kPage - 1);
    void* block = map_from_huge_page(rounded);
    if (block == nullptr) return nullptr;
    // Huge pages where the kernel offers them on request: a page fault costs
    // about as much as clearing 100 KiB on the machines this runs on, so
    // filling a large message or document into fresh 4 KiB pages took longer
    // than reading it.
    (void)::madvise(block, rounded & ~(kHugePage - 1), MADV_HUGEPAGE);
    own_blocks[own_block_count++] = {block, rounded};
    return block;
  }
  void* block = nullptr;
  if (::posix_memalign(&block, kHugePage, size) != 0) return nullptr;
  return block;
}

void heap_free(void* block) {
  // A mapped block starts on a 2 MiB boundary; a heap block seldom does, and
  // is then looked for in vain.
  if ((reinterpret_cast<std::uintptr_t>(block) & (kHugePage - 1)) == 0) {
    for (std::size_t i = own_block_count; i-- > 0;) {
      if (own_blocks[i].start != block) continue;
      (void)::munmap(block, own_blocks[i].size);
      own_blocks[i] = own_blocks[--own_block_count];
      return;
    }
  }
  std::free(block);
}

bool random_bytes(void* out, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(out);
  while (size > 0) {
    ssize_t n = ::getrandom(bytes, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void exit_process(int code) { ::_exit(code); }

}  // namespace zevo::platform
