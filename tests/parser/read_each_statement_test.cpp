// The statement-by-statement parse that the diagnostics and go to definition
// run: the same trees as the whole parse, each dropped with its memory before
// the next is read.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "parser/parser.hpp"
#include "parser/sexpr.hpp"
#include "support/repeat.hpp"

namespace zevo::parser {
namespace {

using zevo::testing::repeat;

TEST(ReadEachStatement, MemoryHoldsTheLargestStatementNotTheDocument) {
  // 100 000 small statements, then one list of 50 000 items, then small ones again.
  const std::string dense = repeat("a;\nf(x)\nlet y = 1\n", 100000);
  const std::string text = dense + "[" + repeat("1, ", 50000) + "1]\n" + dense;

  const Program whole = parse_document(text);
  EXPECT_GT(whole.arena->reserved(), std::size_t{8} << 20);

  Parser parser(Lexer(text, SourceFile{"<stdin>"}));
  std::size_t statements = 0;
  std::size_t largest_held = 0;
  parser.read_each_statement([&](const Stmt&) {
    ++statements;
    largest_held = std::max(largest_held, parser.arena_bytes());
  });
  EXPECT_EQ(statements, whole.statements.size());
  // The list's 50 001 items of 16 bytes need one block of 1 MiB; the small
  // statements before it fit in the first block.
  EXPECT_LE(largest_held, std::size_t{2} << 20);
  EXPECT_LE(parser.arena_bytes(), std::size_t{2} << 20);
  Parser small(Lexer(dense, SourceFile{"<stdin>"}));
  small.read_each_statement([](const Stmt&) {});
  EXPECT_EQ(small.arena_bytes(), Arena::kFirstBlockSize);
}

TEST(ReadEachStatement, TreesWithSpansLongTextsAndFailuresMatchTheWholeParse) {
  const std::string long_name(70000, 'q');
  const std::string cases[] = {
      // Spans have destructors that run when a statement is dropped.
      "panic(\"dur\", a)\nb?\nc = d?\npanic(\"x\")",
      // Texts and lists of 65535 or more keep their length in front of them.
      long_name + " = \"" + long_name + "\"\nf(" + repeat("x, ", 70000) + "x)\n" + long_name,
      // Statements that do not parse are left out between ones that do.
      ") a; ( b\nlet = 3\nx = 1\n} y",
      repeat("eğer a ise\n b(1)\nson\n", 3000),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 60));
    EXPECT_EQ(testing::read_each_sexpr(text), testing::parse_sexpr(text));
  }
}

}  // namespace
}  // namespace zevo::parser
