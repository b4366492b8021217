// Substring searches that stay linear in the text whatever the needle.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/lines.hpp"

namespace zevo::text {

// Byte offset of the first `needle` in `haystack` at or after `from`, or npos
// (an empty needle is found at `from`). std::string_view::find compares up to
// the needle's length at every candidate offset, which goes quadratic for a
// long needle among near misses (runs of "a" searched for a longer run), so
// long needles go to memmem, which stays linear.
std::size_t find_text(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Calls `visit(index, line)`, in line order, for exactly the lines of `text`
// (as split_lines counts them) that contain `needle`, which holds no line
// break. Lines without it are skipped by one search over the whole text, so
// a word that is rare costs little more than that search. Stops early when
// `visit` returns false.
template <class Visit>
void for_each_line_containing(std::string_view text, std::string_view needle, Visit&& visit) {
  if (needle.empty()) return;
  std::size_t line_start = 0;
  std::size_t index = 0;
  while (line_start < text.size()) {
    const std::size_t hit = find_text(text, needle, line_start);
    if (hit == std::string_view::npos) return;
    for (std::size_t nl; (nl = text.find('\n', line_start)) < hit; line_start = nl + 1) ++index;
    const std::size_t nl = text.find('\n', hit);
    if (!visit(index, line_ending_at(text, line_start, nl))) return;
    if (nl == std::string_view::npos) return;
    line_start = nl + 1;
    ++index;
  }
}

}  // namespace zevo::text
