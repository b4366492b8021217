// Whole-text parse cases: a source text and its printed tree, parsed whole and
// statement by statement.
#pragma once

#include <gtest/gtest.h>

#include <span>

#include "parser/sexpr.hpp"

namespace zevo::parser::testing {

struct ParseCase {
  const char* source;
  const char* expected;
};

inline void expect_parses(std::span<const ParseCase> cases) {
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(parse_sexpr(c.source), c.expected);
    EXPECT_EQ(read_each_sexpr(c.source), c.expected);
  }
}

}  // namespace zevo::parser::testing
