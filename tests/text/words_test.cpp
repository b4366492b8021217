#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/words.hpp"

namespace zevo::text {
namespace {

using Runs = std::vector<std::string_view>;

Runs identifier_runs(std::string_view line) {
  Runs runs;
  for_each_identifier_run(line, [&](std::string_view run) { runs.push_back(run); });
  return runs;
}

TEST(IdentifierRuns, SplitAtEveryOtherCharacter) {
  struct Case {
    std::string_view line;
    Runs runs;
  };
  const Case cases[] = {
      {"", {}},
      {"  ", {}},
      {"a", {"a"}},
      {"let x_1 = f(y);", {"let", "x_1", "f", "y"}},
      {"değişken ığdır=Çok", {"değişken", "ığdır", "Çok"}},
      {"a\xFF" "b", {"a", "b"}},           // a malformed byte ends a run
      {"x\u00B2+\u2167", {"x\u00B2", "\u2167"}},  // No and Nl characters belong
      {"a\u20ACb@c", {"a", "b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(identifier_runs(c.line), c.runs) << c.line;
}

// On random lines, the runs are those a character-by-character split finds,
// and every run's ends are where run_start and run_end put them.
TEST(IdentifierRuns, AgreeWithRunStartAndEndOnRandomLines) {
  const std::string_view pieces[] = {"a", "Z9", "_", "ş", "İ", "\u0663", " ", "(", "\u20AC", "\u3000", "\xC3", "\x80"};
  std::mt19937 random(5);
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (int n = static_cast<int>(random() % 10); n > 0; --n) line += pieces[random() % std::size(pieces)];
    SCOPED_TRACE(::testing::PrintToString(line));
    Runs expected;
    std::size_t begin = std::string::npos;
    for (std::size_t i = 0; i < line.size();) {
      const std::size_t at = i;
      const bool in = is_identifier_char(decode_utf8(line, i));
      if (in && begin == std::string::npos) begin = at;
      if (!in && begin != std::string::npos) {
        expected.push_back(std::string_view(line).substr(begin, at - begin));
        begin = std::string::npos;
      }
    }
    if (begin != std::string::npos) expected.push_back(std::string_view(line).substr(begin));
    const Runs runs = identifier_runs(line);
    ASSERT_EQ(runs, expected);
    for (std::string_view run : runs) {
      const auto start = static_cast<std::size_t>(run.data() - line.data());
      EXPECT_EQ(identifier_run_end(line, start), start + run.size());
      EXPECT_EQ(identifier_run_start(std::string_view(line).substr(0, start + run.size())), start);
    }
  }
}

TEST(Runs, StartAndEndOfAnyClass) {
  const auto not_space = [](char32_t c) { return !is_white_space(c); };
  EXPECT_EQ(run_start("let  x", not_space), 5u);
  EXPECT_EQ(run_start("let ", not_space), 4u);  // ends in a space: an empty run at the end
  EXPECT_EQ(run_start("İstanbul", not_space), 0u);
  EXPECT_EQ(run_start("", not_space), 0u);
  EXPECT_EQ(run_end("ab cd", 0, not_space), 2u);
  EXPECT_EQ(run_end("ab cd", 2, not_space), 2u);
  EXPECT_EQ(run_end("ab cd", 3, not_space), 5u);
  EXPECT_EQ(run_end("ab", 2, not_space), 2u);
}

}  // namespace
}  // namespace zevo::text
