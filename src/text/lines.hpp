// Splitting a text into lines: split at "\n"; a line that ended with "\n" also
// loses one "\r" before it; a last line without "\n" stays whole (a final "\r"
// included); no empty line after a final "\n"; an empty text has no lines.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zevo::text {

std::vector<std::string_view> split_lines(std::string_view text);

// One line with where it stands in the text and how it ended.
struct LineSpan {
  std::size_t start = 0;       // byte offset of the line in the text
  std::size_t length = 0;      // byte length of the line, its break excluded
  std::size_t break_length = 0;  // 2 for "\r\n", 1 for "\n", 0 for a last line without "\n"
};

std::vector<LineSpan> line_spans(std::string_view text);

// Walks the lines without building a list: calls `visit(index, line)` for each
// line in order and stops early when `visit` returns false.
template <class Visit>
void for_each_line(std::string_view text, Visit&& visit) {
  std::size_t start = 0;
  std::size_t index = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    std::string_view line;
    if (nl == std::string_view::npos) {
      line = text.substr(start);
      start = text.size();
    } else {
      line = text.substr(start, nl - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      start = nl + 1;
    }
    if (!visit(index++, line)) return;
  }
}

// Line number `n` (as split_lines counts), or false when the text has no such line.
bool nth_line(std::string_view text, std::size_t n, std::string_view& line);

}  // namespace zevo::text
