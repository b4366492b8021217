// Runs of characters of one class in a line: identifiers, words.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/ascii.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::text {

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

// Calls `visit(run)` for each maximal run of identifier characters in `line`,
// left to right.
template <class Visit>
void for_each_identifier_run(std::string_view line, Visit&& visit) {
  constexpr std::size_t none = std::string_view::npos;
  std::size_t begin = none;
  std::size_t i = 0;
  while (i < line.size()) {
    const std::size_t at = i;
    const auto byte = static_cast<unsigned char>(line[i]);
    bool identifier;
    if (byte < 0x80) {
      identifier = is_ascii_alnum(byte) || byte == '_';
      ++i;
    } else {
      identifier = is_identifier_char(decode_utf8(line, i));
    }
    if (identifier) {
      if (begin == none) begin = at;
    } else if (begin != none) {
      visit(line.substr(begin, at - begin));
      begin = none;
    }
  }
  if (begin != none) visit(line.substr(begin));
}

}  // namespace zevo::text
