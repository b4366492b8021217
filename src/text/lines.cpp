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
