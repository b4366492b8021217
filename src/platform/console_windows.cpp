#include "platform/console_windows.hpp"

#include <windows.h>

#include <cstring>

namespace zevo::platform {

namespace {

constexpr wchar_t kCtrlZ = 0x1A;

bool is_high_surrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The length of the sequence a byte starts (1 for ASCII and for stray bytes).
std::size_t sequence_length(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  if (b >= 0xF0 && b <= 0xF7) return 4;
  if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
  if (b >= 0xC0) return 2;
  return 1;
}

// How many bytes at the end of `data` begin a sequence that goes on past it.
std::size_t incomplete_tail(const char* data, std::size_t size) {
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const char byte = data[size - back];
    if (is_continuation(byte)) continue;
    return sequence_length(byte) > back ? back : 0;
  }
  return 0;
}

}  // namespace

ReadResult ConsoleReader::read(WideConsole& console, char* buffer, std::size_t capacity) {
  while (start_ == end_) {
    if (ended_) return {0, 0};
    start_ = end_ = 0;
    std::size_t units = 0;
    if (held_high_) wide_[units++] = high_;
    held_high_ = false;
    std::size_t got = 0;
    const std::uint32_t error = console.read(wide_ + units, kWideUnits - units, got);
    if (error != 0) return {0, static_cast<int>(error)};
    if (got == 0 && units == 0) return {0, 0};
    if (got > 0) {
      units += got;
      if (wide_[units - 1] == kCtrlZ) {
        // What came before the Ctrl+Z is the last of the input.
        ended_ = true;
        if (--units == 0) return {0, 0};
      } else if (is_high_surrogate(wide_[units - 1])) {
        held_high_ = true;
        high_ = wide_[--units];
        if (units == 0) continue;
      }
    }
    // A high surrogate that the input ended after goes out as U+FFFD.
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide_, static_cast<int>(units), bytes_,
                                        static_cast<int>(sizeof bytes_), nullptr, nullptr);
    if (n <= 0) return {0, static_cast<int>(::GetLastError())};
    end_ = static_cast<std::size_t>(n);
  }
  const std::size_t size = capacity < end_ - start_ ? capacity : end_ - start_;
  std::memcpy(buffer, bytes_ + start_, size);
  start_ += size;
  return {size, 0};
}

int ConsoleWriter::write(WideConsole& console, const char* data, std::size_t size) {
  if (held_size_ > 0) {
    const std::size_t need = sequence_length(held_[0]);
    while (held_size_ < need && size > 0 && is_continuation(*data)) {
      held_[held_size_++] = *data++;
      --size;
    }
    if (held_size_ < need && size == 0) return 0;
    // Whole, or cut short by a byte that cannot continue it (then U+FFFD).
    const std::size_t held = held_size_;
    held_size_ = 0;
    if (const int error = write_whole(console, held_, held)) return error;
  }
  const std::size_t tail = incomplete_tail(data, size);
  std::memcpy(held_, data + size - tail, tail);
  held_size_ = tail;
  return write_whole(console, data, size - tail);
}

int ConsoleWriter::write_whole(WideConsole& console, const char* data, std::size_t size) {
  constexpr std::size_t kChunk = sizeof wide_ / sizeof wide_[0];  // a byte gives at most one unit
  while (size > 0) {
    std::size_t chunk = size;
    if (chunk > kChunk) {
      chunk = kChunk;
      while (chunk > kChunk - 3 && is_continuation(data[chunk])) --chunk;
    }
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(chunk), wide_, static_cast<int>(kChunk));
    if (units <= 0) return static_cast<int>(::GetLastError());
    std::size_t done = 0;
    while (done < static_cast<std::size_t>(units)) {
      std::size_t written = 0;
      const std::uint32_t error = console.write(wide_ + done, static_cast<std::size_t>(units) - done, written);
      if (error != 0) return static_cast<int>(error);
      if (written == 0) return ERROR_WRITE_FAULT;
      done += written;
    }
    data += chunk;
    size -= chunk;
  }
  return 0;
}

}  // namespace zevo::platform
