#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/search.hpp"

namespace zevo::text {
namespace {

TEST(FindText, FirstOccurrenceAtOrAfterTheStart) {
  constexpr std::size_t none = std::string_view::npos;
  // Long needles take another search than short ones.
  const std::string run(40, 'a');
  const std::string runs = run.substr(1) + " " + run + " " + run;  // a near miss, then two runs
  struct Case {
    std::string_view haystack, needle;
    std::size_t from, expected;
  };
  const Case cases[] = {
      {"ab ab", "ab", 0, 0}, {"ab ab", "ab", 1, 3}, {"ab ab", "ab", 3, 3}, {"ab ab", "ab", 4, none},
      {"ab", "abc", 0, none}, {"ab", "", 1, 1},     {"ab", "", 2, 2},      {"ab", "a", 3, none},
      {"çç", "ç", 1, 2},      {"", "a", 0, none},   {runs, run, 0, 40},    {runs, run, 41, 81},
      {runs, run, 82, none},  {runs, run, 200, none}, {run, runs, 0, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(find_text(c.haystack, c.needle, c.from), c.expected) << c.haystack << " / " << c.needle << " @" << c.from;
  }
}

TEST(LinesContaining, VisitsOnlyLinesWithTheNeedleWithSplitLinesNumbers) {
  const std::string_view text = "x\r\n\nab\nb\rx\n\nbx\r\nlast x";
  std::vector<std::pair<std::size_t, std::string>> seen;
  for_each_line_containing(text, "x", [&](std::size_t index, std::string_view line) {
    seen.emplace_back(index, std::string(line));
    return true;
  });
  const std::vector<std::pair<std::size_t, std::string>> expected = {
      {0, "x"}, {3, "b\rx"}, {5, "bx"}, {6, "last x"}};
  EXPECT_EQ(seen, expected);

  seen.clear();
  for_each_line_containing(text, "x", [&](std::size_t index, std::string_view line) {
    seen.emplace_back(index, std::string(line));
    return index < 3;
  });
  EXPECT_EQ(seen.size(), 2u);  // stopped after the line that returned false
}

}  // namespace
}  // namespace zevo::text
