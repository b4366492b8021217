// Splitting a text into lines: split at "\n"; a line that ended with "\n" also
// loses one "\r" before it; a last line without "\n" stays whole (a final "\r"
// included); no empty line after a final "\n"; an empty text has no lines.
// Every walker below goes through line_ending_at, so that rule lives there only.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zevo::text {

// The line that begins at byte `start` and is ended by the "\n" at byte
// `newline`, or by the end of the text when `newline` is npos.
inline std::string_view line_ending_at(std::string_view text, std::size_t start, std::size_t newline) {
  if (newline == std::string_view::npos) return text.substr(start);
  std::string_view line = text.substr(start, newline - start);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// One line with where it stands in the text and how it ended.
struct LineSpan {
  std::size_t start = 0;         // byte offset of the line in the text
  std::string_view line;         // its bytes, the break excluded
  std::size_t break_length = 0;  // 2 for "\r\n", 1 for "\n", 0 for a last line without "\n"
};

// Calls `visit(index, span)` for each line in order and stops early when
// `visit` returns false.
template <class Visit>
void for_each_line_span(std::string_view text, Visit&& visit) {
  std::size_t start = 0;
  std::size_t index = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    const std::string_view line = line_ending_at(text, start, newline);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    if (!visit(index++, LineSpan{start, line, next - start - line.size()})) return;
    start = next;
  }
}

// Calls `visit(index, line)` for each line in order without building a list;
// stops early when `visit` returns false.
template <class Visit>
void for_each_line(std::string_view text, Visit&& visit) {
  for_each_line_span(text, [&](std::size_t index, const LineSpan& span) { return visit(index, span.line); });
}

std::vector<std::string_view> split_lines(std::string_view text);

// The number of "\n" bytes in `text`.
std::size_t count_newlines(std::string_view text);

// Line number `n` (as split_lines counts), or false when the text has no such line.
bool nth_line(std::string_view text, std::size_t n, std::string_view& line);

}  // namespace zevo::text
