#include <cstring>

#include "json/json.hpp"

namespace zevo::json {
namespace {

// The bytes a well-formed sequence may have in second place, by lead byte.
struct SecondByte {
  unsigned char low;
  unsigned char high;
};

constexpr SecondByte second_byte_range(unsigned char lead) {
  switch (lead) {
    case 0xE0: return {0xA0, 0xBF};
    case 0xED: return {0x80, 0x9F};
    case 0xF0: return {0x90, 0xBF};
    case 0xF4: return {0x80, 0x8F};
    default: return {0x80, 0xBF};
  }
}

constexpr std::size_t sequence_width(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

std::string invalid(std::size_t length, std::size_t index) {
  return "invalid utf-8 sequence of " + std::to_string(length) + " bytes from index " + std::to_string(index);
}

std::string incomplete(std::size_t index) {
  return "incomplete utf-8 byte sequence from index " + std::to_string(index);
}

// Whether the 8 bytes at `p` are all ASCII.
inline bool ascii8(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080808080808080ull) == 0;
}

}  // namespace

std::optional<std::string> check_utf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (s[i] < 0x80) {
      // Long ASCII runs are the common case: skip them a word pair at a time.
      while (i + 16 <= n && ascii8(s + i) && ascii8(s + i + 8)) i += 16;
      while (i < n && s[i] < 0x80) ++i;
      continue;
    }
    const std::size_t start = i;
    const unsigned char lead = s[i];
    const std::size_t width = sequence_width(lead);
    if (width == 0) return invalid(1, start);
    // Each following byte: missing means the sequence could still complete,
    // out of range means the valid prefix ends before it.
    const SecondByte second = second_byte_range(lead);
    for (std::size_t k = 1; k < width; ++k) {
      if (start + k >= n) return incomplete(start);
      const unsigned char b = s[start + k];
      const bool ok = k == 1 ? (b >= second.low && b <= second.high) : (b >= 0x80 && b <= 0xBF);
      if (!ok) return invalid(k, start);
    }
    i = start + width;
  }
  return std::nullopt;
}

}  // namespace zevo::json
