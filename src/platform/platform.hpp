// The operating-system services the server needs, and nothing more: the three
// standard streams, heap blocks, random bytes and ending the process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zevo::platform {

// Outcome of one read of standard input. `error` is 0 on success; `size` 0 with
// error 0 is end of input (end of file, a closed pipe or no standard input).
struct ReadResult {
  std::size_t size = 0;
  int error = 0;
};

// Reads up to `capacity` bytes; interrupted reads are retried.
ReadResult read_stdin(char* buffer, std::size_t capacity);

// Writes all bytes to standard output; returns 0 or the error number of the
// first failed write. With no standard output the bytes are dropped.
int write_stdout(const char* data, std::size_t size);

// Writes all bytes to standard error at once (no buffering); failures and a
// missing standard error are ignored.
void write_stderr(std::string_view text);

// The platform's text for an error number, e.g. "Broken pipe (os error 32)".
std::string error_text(int error);

// Makes writes to a closed pipe fail with an error instead of killing the process.
void ignore_broken_pipe();

// Widens standard input and output to 1 MiB where they are narrower pipes, so
// that a large message crosses in a few wake-ups of the two ends instead of
// one per 64 KiB.
void widen_pipes();

// A heap block of at least `size` bytes, aligned to 16; null when refused.
void* heap_alloc(std::size_t size);
void heap_free(void* block);

// Fills `out` with random bytes from the kernel; false if none could be had.
bool random_bytes(void* out, std::size_t size);

// Ends the process at once with `code`; nothing is cleaned up.
[[noreturn]] void exit_process(int code);

}  // namespace zevo::platform
