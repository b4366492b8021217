#include "text/lines.hpp"

namespace zevo::text {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for_each_line(text, [&](std::size_t, std::string_view line) {
    lines.push_back(line);
    return true;
  });
  return lines;
}

std::vector<LineSpan> line_spans(std::string_view text) {
  std::vector<LineSpan> spans;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      spans.push_back({start, text.size() - start, 0});
      break;
    }
    const bool crlf = nl > start && text[nl - 1] == '\r';
    spans.push_back({start, nl - start - (crlf ? 1 : 0), crlf ? 2u : 1u});
    start = nl + 1;
  }
  return spans;
}

bool nth_line(std::string_view text, std::size_t n, std::string_view& line) {
  bool found = false;
  for_each_line(text, [&](std::size_t index, std::string_view l) {
    if (index == n) {
      line = l;
      found = true;
      return false;
    }
    return true;
  });
  return found;
}

}  // namespace zevo::text
