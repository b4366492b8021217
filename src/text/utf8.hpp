// UTF-8 walking and the UTF-16 column arithmetic of client positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zevo::text {

// Replacement for a byte that does not begin a well-formed UTF-8 sequence.
inline constexpr char32_t kReplacement = 0xFFFD;

// What a well-formed sequence may be, by its lead byte: its byte length (0 for
// a byte that begins none) and the range of its second byte, which rules out
// overlong forms, surrogates and values above U+10FFFF. Decoding and checking
// both read it.
struct Utf8Lead {
  unsigned char length = 0;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
};

constexpr Utf8Lead utf8_lead(unsigned char lead) {
  if (lead < 0x80) return {1};
  if (lead < 0xC2 || lead > 0xF4) return {0};
  if (lead < 0xE0) return {2};
  if (lead < 0xF0) return lead == 0xE0 ? Utf8Lead{3, 0xA0} : lead == 0xED ? Utf8Lead{3, 0x80, 0x9F} : Utf8Lead{3};
  return lead == 0xF0 ? Utf8Lead{4, 0x90} : lead == 0xF4 ? Utf8Lead{4, 0x80, 0x8F} : Utf8Lead{4};
}

inline bool is_continuation_byte(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the scalar value at byte `i` and advances `i` past it. A malformed
// sequence yields U+FFFD and advances by one byte, so walking never stalls.
char32_t decode_utf8(std::string_view s, std::size_t& i);

// The error text of the first ill-formed sequence, or nothing when all of
// `bytes` is well-formed: "invalid utf-8 sequence of N bytes from index I" or
// "incomplete utf-8 byte sequence from index I".
std::optional<std::string> utf8_error(std::string_view bytes);

// Start of the character that ends just before byte `end` (> 0); a byte that
// ends no well-formed sequence stands for itself.
std::size_t previous_char_start(std::string_view s, std::size_t end);

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
