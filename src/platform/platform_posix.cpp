#include "platform/platform.hpp"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
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

// Asks for the whole 2 MiB pages inside a block to be backed by huge pages
// where the kernel offers them on request. A page fault costs about as much
// as clearing 100 KiB on the machines this runs on, so filling a large
// message or document into fresh 4 KiB pages took longer than reading it.
void advise_huge_pages(void* block, std::size_t size) {
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (start + size) & ~(kHugePage - 1);
  if (last > first) (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// Blocks of kHugeBlock and more are always mapped on their own and unmapped
// when freed, so that their huge-page advice never spreads to heap memory that
// small blocks reuse later (below 8 MiB, half-filled answer blocks on huge
// pages raised the peak of many small documents). The heap keeps up to
// 32 MiB of freed memory at its top instead of giving it back at once, as it
// does by itself once it has seen large blocks.
__attribute__((constructor(101))) void tune_heap() {
  (void)::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHugeBlock));
  (void)::mallopt(M_TRIM_THRESHOLD, 32 << 20);
}

}  // namespace

void* heap_alloc(std::size_t size) {
  if (size < kHugeBlock) return std::malloc(size == 0 ? 1 : size);
  // Starting on a huge page boundary, all but the last partial huge page of
  // the block can be huge pages; of the space skipped before it only the
  // heap's headers are touched.
  void* block = nullptr;
  if (::posix_memalign(&block, kHugePage, size) != 0) return nullptr;
  advise_huge_pages(block, size);
  return block;
}

void heap_free(void* block) { std::free(block); }

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
