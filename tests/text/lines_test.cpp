#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "support/random_text.hpp"
#include "text/lines.hpp"
#include "text/search.hpp"

namespace zevo::text {
namespace {

using Lines = std::vector<std::string_view>;

TEST(SplitLines, FollowsTheLineRules) {
  struct Case {
    std::string_view text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\r\nb", {"a\r", "b"}},   // only one "\r" goes with the "\n"
      {"a\rb", {"a\rb"}},           // a lone "\r" is no break
      {"a\r", {"a\r"}},             // a last line keeps its final "\r"
      {"\n\n", {"", ""}},
      {"\r\n", {""}},
      {"x\n\ny", {"x", "", "y"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(split_lines(c.text), c.lines) << "text: " << c.text;
  }
}

TEST(SplitLines, SpansReportStartsAndBreakLengths) {
  struct Span {
    std::size_t start;
    std::string_view line;
    std::size_t break_length;
    bool operator==(const Span&) const = default;
  };
  std::vector<Span> spans;
  for_each_line_span("ab\r\ncd\nef\r", [&](std::size_t, const LineSpan& s) {
    spans.push_back({s.start, s.line, s.break_length});
    return true;
  });
  const std::vector<Span> expected = {{0, "ab", 2}, {4, "cd", 1}, {7, "ef\r", 0}};
  EXPECT_EQ(spans, expected);
}

TEST(SplitLines, NthLine) {
  std::string_view line;
  ASSERT_TRUE(nth_line("a\nb\r\nc", 1, line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(nth_line("a\n", 1, line));
  EXPECT_FALSE(nth_line("", 0, line));
}

// The line rule written out byte by byte, apart from the walkers.
std::vector<std::string> reference_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c != '\n') {
      line += c;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// On random texts of CR LF, lone and final CRs, empty lines and multi-byte
// characters, every line walker sees the lines of split_lines, and
// split_lines those of the rule.
TEST(SplitLines, EveryWalkerAgreesOnRandomTexts) {
  zevo::testing::RandomText random(19);
  const std::string long_needle(33, 'a');  // beyond the short-needle search
  const std::string_view needles[] = {"a", "bc", "\xC3\xA9", "\xF0\x9F\x98\x80", "cb", long_needle};
  for (int round = 0; round < 2000; ++round) {
    // Some texts run over several 64-byte blocks, which the break counts take at once.
    const std::string text = round % 50 == 0  ? std::string(40, 'a') + "\r\n" + std::string(34, 'a')
                             : round % 4 == 0 ? random.text(400)
                                              : random.text(40);
    SCOPED_TRACE(::testing::PrintToString(text));
    const Lines lines = split_lines(text);
    ASSERT_EQ(std::vector<std::string>(lines.begin(), lines.end()), reference_lines(text));

    Lines walked;
    for_each_line(text, [&](std::size_t index, std::string_view line) {
      EXPECT_EQ(index, walked.size());
      walked.push_back(line);
      return true;
    });
    EXPECT_EQ(walked, lines);

    // Spans tile the text: each line, then its break, then the next line.
    std::size_t next_start = 0;
    Lines spanned;
    for_each_line_span(text, [&](std::size_t, const LineSpan& span) {
      EXPECT_EQ(span.start, next_start);
      EXPECT_EQ(text.substr(span.start, span.line.size()), span.line);
      const std::string_view after = std::string_view(text).substr(span.start + span.line.size(), span.break_length);
      EXPECT_TRUE(after == "\r\n" || after == "\n" || (after.empty() && span.start + span.line.size() == text.size()))
          << ::testing::PrintToString(std::string(after));
      next_start = span.start + span.line.size() + span.break_length;
      spanned.push_back(span.line);
      return true;
    });
    EXPECT_EQ(next_start, text.size());
    EXPECT_EQ(spanned, lines);

    EXPECT_EQ(count_newlines(text), static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    for (std::size_t n = 0; n <= lines.size(); ++n) {
      std::string_view line;
      ASSERT_EQ(nth_line(text, n, line), n < lines.size());
      if (n < lines.size()) {
        EXPECT_EQ(line, lines[n]);
      }
    }

    for (std::string_view needle : needles) {
      std::vector<std::pair<std::size_t, std::string_view>> expected, found;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(needle) != std::string_view::npos) expected.emplace_back(i, lines[i]);
      }
      for_each_line_containing(text, needle, [&](std::size_t index, std::string_view line) {
        found.emplace_back(index, line);
        return true;
      });
      EXPECT_EQ(found, expected) << ::testing::PrintToString(std::string(needle));
    }
  }
}

}  // namespace
}  // namespace zevo::text
