// UTF-8 walking and the UTF-16 column arithmetic of client positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zevo::text {

// Replacement for a byte that does not begin a well-formed UTF-8 sequence.
inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the scalar value at byte `i` and advances `i` past it. A malformed
// sequence yields U+FFFD and advances by one byte, so walking never stalls.
char32_t decode_utf8(std::string_view s, std::size_t& i);

// Byte length of the UTF-8 sequence starting with `lead` (1 for a stray byte).
inline std::size_t utf8_sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  return 1;
}

inline bool is_continuation_byte(unsigned char b) { return (b & 0xC0) == 0x80; }

// Appends `c` to `out` as UTF-8.
void append_utf8(std::string& out, char32_t c);

// UTF-16 code units of one scalar value (1 or 2).
inline std::size_t utf16_units(char32_t c) { return c >= 0x10000 ? 2 : 1; }

// UTF-16 code units of a whole text.
std::size_t utf16_length(std::string_view s);

// Number of scalar values in a text.
std::size_t char_count(std::string_view s);

// Byte offset in `line` after its first characters whose UTF-16 lengths add
// up to `column`: a column inside a surrogate pair lands on the start of that
// character, a column past the end gives the line's byte length.
std::size_t column_to_byte(std::string_view line, std::size_t column);

// UTF-16 column of byte offset `byte` in `line` (offsets past the end count to the end).
std::size_t byte_to_column(std::string_view line, std::size_t byte);

// Byte offset after the first `count` characters (the text's length if it has fewer).
std::size_t char_index_to_byte(std::string_view s, std::size_t count);

}  // namespace zevo::text
