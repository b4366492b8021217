#include "text/words.hpp"

namespace zevo::text {

const std::array<uint64_t, 31>& two_byte_identifier_chars() {
  static const std::array<uint64_t, 31> chars = [] {
    std::array<uint64_t, 31> bits{};
    for (char32_t c = 0x80; c < 0x800; ++c) {
      if (is_identifier_char(c)) bits[(c - 0x80) >> 6] |= uint64_t{1} << ((c - 0x80) & 63);
    }
    return bits;
  }();
  return chars;
}

}  // namespace zevo::text
