// Runs of characters of one class in a line: identifiers, words.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/ascii.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::text {

// Whether each ASCII byte is an identifier character: a letter, a digit or "_".
inline constexpr auto kAsciiIdentifierChars = [] {
  std::array<bool, 128> chars{};
  for (unsigned c = 0; c < 128; ++c) chars[c] = is_ascii_alnum(static_cast<unsigned char>(c)) || c == '_';
  return chars;
}();

// Byte offset where the run of characters that `in_run` admits and that ends
// `s` begins (the length of `s` when its last character is not admitted).
template <class InRun>
std::size_t run_start(std::string_view s, InRun&& in_run) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (!in_run(decode_utf8(s, i))) start = i;
  }
  return start;
}

// Byte offset where the run of characters that `in_run` admits and that
// begins at byte `from` ends.
template <class InRun>
std::size_t run_end(std::string_view s, std::size_t from, InRun&& in_run) {
  while (from < s.size()) {
    std::size_t next = from;
    if (!in_run(decode_utf8(s, next))) break;
    from = next;
  }
  return from;
}

inline std::size_t identifier_run_start(std::string_view s) { return run_start(s, is_identifier_char); }
inline std::size_t identifier_run_end(std::string_view s, std::size_t from) {
  return run_end(s, from, is_identifier_char);
}

// Whether each character of two UTF-8 bytes (U+0080 to U+07FF, by its value
// less 0x80) is an identifier character: the Latin, Greek and Cyrillic
// letters of most text beyond ASCII, answered without a decode or a call.
const std::array<uint64_t, 31>& two_byte_identifier_chars();

// Calls `visit(run)` for each maximal run of identifier characters in `line`,
// left to right.
template <class Visit>
void for_each_identifier_run(std::string_view line, Visit&& visit) {
  const std::array<uint64_t, 31>& two_byte = two_byte_identifier_chars();
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t n = line.size();
  std::size_t i = 0;
  // Whether the character at `i` is an identifier character; moves `i` past it.
  const auto identifier_at = [&]() {
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      ++i;
      return kAsciiIdentifierChars[b];
    }
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (bytes[i + 1] & 0xC0) == 0x80) {
      const unsigned c = ((b & 0x1Fu) << 6 | (bytes[i + 1] & 0x3Fu)) - 0x80;
      i += 2;
      return (two_byte[c >> 6] >> (c & 63) & 1) != 0;
    }
    return is_identifier_char(decode_utf8(line, i));
  };
  while (i < n) {
    // Outside a run: to the first identifier character.
    std::size_t begin = i;
    while (i < n && !identifier_at()) begin = i;
    if (begin == n) return;
    // Inside: to the first character that is not one.
    std::size_t end = i;
    while (i < n && identifier_at()) end = i;
    if (end < i) {
      visit(line.substr(begin, end - begin));
    } else {
      visit(line.substr(begin));
      return;
    }
  }
}

}  // namespace zevo::text
