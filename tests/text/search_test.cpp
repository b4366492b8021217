#include <gtest/gtest.h>

#include <random>
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

TEST(Contains, ShortAndLongNeedles) {
  const std::string run(40, 'a');
  EXPECT_TRUE(contains("abc", ""));
  EXPECT_TRUE(contains("abc", "bc"));
  EXPECT_FALSE(contains("abc", "cb"));
  EXPECT_TRUE(contains("x" + run + "y", run));
  EXPECT_FALSE(contains(run.substr(1) + "b" + run.substr(1), run));
}

// The first piece of each pattern after `pieces(walk)` has fed the walk.
template <class Pieces>
std::vector<std::size_t> first_pieces(const MultiPatternSearch& search, std::size_t patterns, Pieces&& pieces) {
  MultiPatternSearch::Walk walk(search);
  pieces(walk);
  std::vector<std::size_t> first;
  for (std::size_t p = 0; p < patterns; ++p) first.push_back(walk.first(p));
  return first;
}

// Each pattern's first line among the eligible ones, as a search per pattern
// finds it; the patterns overlap and end inside one another.
TEST(MultiPatternSearch, FirstEligibleLinePerPatternOnRandomLines) {
  const std::vector<std::string_view> patterns = {"a", "aa", "ab", "b", "ba", "aba", "bab", "ç", "çb", "abba", "xyz"};
  const std::string_view pieces[] = {"a", "b", "ç", " "};
  std::mt19937 random(11);
  const MultiPatternSearch search(patterns);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::string> owned;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) {
      std::string line;
      for (int k = static_cast<int>(random() % 6); k > 0; --k) line += pieces[random() % std::size(pieces)];
      owned.push_back(line);
    }
    const std::vector<std::string_view> lines(owned.begin(), owned.end());
    // Lines of even length only, so that the filter shows.
    const auto eligible = [](std::string_view line) { return line.size() % 2 == 0; };
    std::vector<std::size_t> expected;
    for (std::string_view pattern : patterns) {
      std::size_t first = std::string_view::npos;
      for (std::size_t i = 0; i < lines.size() && first == std::string_view::npos; ++i) {
        if (eligible(lines[i]) && lines[i].find(pattern) != std::string_view::npos) first = i;
      }
      expected.push_back(first);
    }
    const auto eligible_lines = [&](MultiPatternSearch::Walk& walk) {
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (eligible(lines[i]) && !walk.feed(i, lines[i])) return;
      }
    };
    EXPECT_EQ(first_pieces(search, patterns.size(), eligible_lines), expected) << ::testing::PrintToString(owned);
  }
}

// The trie is built from the patterns in byte order; a pattern given twice is
// reported at its later place only, as when they were inserted as given.
TEST(MultiPatternSearch, PatternGivenTwiceAndOutOfOrder) {
  const MultiPatternSearch search({"ab", "b", "a", "ab"});
  const auto pieces = [](MultiPatternSearch::Walk& walk) {
    const std::string_view lines[] = {"x", "xb", "ab"};
    for (std::size_t i = 0; i < std::size(lines); ++i) {
      if (!walk.feed(i, lines[i])) return;
    }
  };
  constexpr std::size_t none = std::string_view::npos;
  EXPECT_EQ(first_pieces(search, 4, pieces), (std::vector<std::size_t>{none, 1, 2, 2}));
}

// Pieces of one number are searched apart: a pattern across two is not found.
TEST(MultiPatternSearch, MatchesStayInsideOnePiece) {
  const MultiPatternSearch search({"ab", "b"});
  const auto pieces = [](MultiPatternSearch::Walk& walk) {
    if (walk.feed(4, "a") && walk.feed(4, "b")) walk.feed(7, "xab");
  };
  EXPECT_EQ(first_pieces(search, 2, pieces), (std::vector<std::size_t>{7, 4}));
}

// A pattern is alone when no other pattern occurs inside it. A piece given
// as a whole pattern is found as the walk would find it: alone without a
// walk, otherwise with what it holds, and not again once found.
TEST(MultiPatternSearch, PatternsAloneAndGivenWhole) {
  const MultiPatternSearch search({"abc", "b", "xy", "xyz", "q", "q"});
  const bool alone[] = {false, true, true, false, false, true};
  for (std::size_t p = 0; p < std::size(alone); ++p) EXPECT_EQ(search.alone(p), alone[p]) << p;
  const auto pieces = [](MultiPatternSearch::Walk& walk) {
    if (walk.whole(2, 2) && walk.whole(3, 0) && walk.whole(5, 2) && walk.whole(6, 3)) {
      walk.feed(7, "qb");
    }
  };
  constexpr std::size_t none = std::string_view::npos;
  EXPECT_EQ(first_pieces(search, 6, pieces), (std::vector<std::size_t>{3, 3, 2, 6, none, 7}));
}

// A piece given whole finds what the walk over it finds: patterns that are
// its prefixes, its suffixes, inside it, given twice; after pieces that
// found some of it already, too.
TEST(MultiPatternSearch, WholePieceFindsWhatTheWalkFinds) {
  const std::vector<std::vector<std::string_view>> sets = {
      {"işlev_1", "işlev_12", "işlev_123", "lev_1", "_12", "işlev_2"},
      {"a", "aa", "aaa", "aaaa", "aab", "ba"},
      {"abc", "a", "b", "c", "ab", "bc"},
      {"ab", "b", "a", "ab"},
  };
  for (const auto& patterns : sets) {
    const MultiPatternSearch search(patterns);
    for (std::size_t p = 0; p < patterns.size(); ++p) {
      for (const std::string_view before : {"", "b", "aa"}) {
        const auto walked = first_pieces(search, patterns.size(), [&](MultiPatternSearch::Walk& walk) {
          walk.feed(1, before);
          walk.feed(2, patterns[p]);
        });
        const auto whole = first_pieces(search, patterns.size(), [&](MultiPatternSearch::Walk& walk) {
          walk.feed(1, before);
          walk.whole(2, p);
        });
        EXPECT_EQ(whole, walked) << ::testing::PrintToString(patterns) << " " << p << " after " << before;
      }
    }
  }
}

}  // namespace
}  // namespace zevo::text
