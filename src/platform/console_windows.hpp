// A Windows console speaks UTF-16; the server speaks UTF-8. These convert
// between the two over any source and sink of UTF-16 units, so that a
// surrogate pair cut by one console read, or a UTF-8 sequence cut by one
// write, still comes out as one whole character.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.hpp"

namespace zevo::platform {

// The console's side: reads and writes of UTF-16 units. Each returns 0 or the
// system's error code; a read of 0 units is the end of input.
class WideConsole {
 public:
  virtual std::uint32_t read(wchar_t* buffer, std::size_t capacity, std::size_t& got) = 0;
  virtual std::uint32_t write(const wchar_t* data, std::size_t size, std::size_t& written) = 0;

 protected:
  ~WideConsole() = default;
};

// Console input as UTF-8 bytes. A Ctrl+Z ends the input after what was typed
// before it, as it does for Windows' own console programs.
class ConsoleReader {
 public:
  ReadResult read(WideConsole& console, char* buffer, std::size_t capacity);

 private:
  static constexpr std::size_t kWideUnits = 4096;
  wchar_t wide_[kWideUnits + 1];
  bool ended_ = false;           // a Ctrl+Z came
  bool held_high_ = false;       // a high surrogate kept for the next read
  wchar_t high_ = 0;
  char bytes_[kWideUnits * 3];   // converted, not yet handed out
  std::size_t start_ = 0;
  std::size_t end_ = 0;
};

// Console output from UTF-8 bytes. The tail of a sequence that a write cut
// off waits for the next write.
class ConsoleWriter {
 public:
  // 0 or the error of the first failed console write.
  int write(WideConsole& console, const char* data, std::size_t size);

 private:
  int write_whole(WideConsole& console, const char* data, std::size_t size);

  char held_[4];
  std::size_t held_size_ = 0;
  wchar_t wide_[4096];
};

}  // namespace zevo::platform
