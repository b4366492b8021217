#include "platform/platform.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

void* heap_alloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }

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
