// Lists read inside lists (arguments, items, blocks): each list gets exactly
// its own items, and the items of one that breaks off never reach the list
// around it. The statements of a whole program come in pieces of the arena.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "parser/parser.hpp"
#include "parser/sexpr.hpp"

namespace zevo::parser {
namespace {

using testing::parse_sexpr;

TEST(ParseLists, NestedListsKeepTheirOwnItems) {
  struct Case {
    const char* source;
    const char* expected;
  };
  const Case cases[] = {
      {"f(a, g(b, c), d)",
       "(call f a (call g b c) d)"},
      {"f(a, g(b c), d)",
       "c d"},
      {"f(a, g(b, c d)) e",
       "d e"},
      {"[1, [2, 3], 4]",
       "(list 1 (list 2 3) 4)"},
      {"[1, [2 3], 4]",
       "3 4"},
      {"[1, [2, 3] 4] x",
       "4 x"},
      {"(1, (2, 3), 4)",
       "(tuple 1 (tuple 2 3) 4)"},
      {"(1, (2 3), 4) y",
       "3 4 y"},
      {"(1, f(2, (3, 4 5)), 6) z",
       "5 6 z"},
      {"o.m(a, [b, c], (d, e)).n(f(g))",
       "(method (method o m a (list b c) (tuple d e)) n (call f g))"},
      {"emit Olay(f(1, 2), [3, 4 5], 6) son_satır",
       "(emit Olay (call f 1 2)) 5 6 son_satır"},
      {"panic!(\"m\", f(1, 2), [3 4]) x",
       "4 x"},
      {"gpio::PA5.set(f(1, 2), [3, 4])",
       "(pin gpio A#5 set (call f 1 2) (list 3 4))"},
      {"gpio::PA5.set(f(1 2), 3) x",
       "2 3 x"},
      {"fonksiyon f() { a; eğer b { c; d e } g } h",
       "(fn f () [a (if b [c d e]) g]) h"},
      {"fonksiyon f() { a; eğer b { c; f(1, 2 3) } g(4, 5) } h",
       "(fn f () [a (if b [c 3]) (call g 4 5)]) h"},
      {"eğer a ise x eğer b ise y değilse z son w son v",
       "(if a [x (if b [y] (else [z])) w]) v"},
      {"while a { b; while c { d(e f) } g } h",
       "(while a [b (while c [f]) g]) h"},
      {"modül M a; eğer b { c } d",
       "(module M [a (if b [c]) d])"},
      {"değişken x = eğer a ise { f(1, [2, 3]) } değilse { g((4, 5)) }; y",
       "(let x (if-expr a [(call f 1 (list 2 3))] [(call g (tuple 4 5))])) y"},
      {"match x do case 1 => f(1, 2); case Some(v) => [v, v]; _ => (1, 2) end z",
       "(match x ((lit 1) => (call f 1 2)) ((Some v) => (list v v)) (_ => (tuple 1 2))) z"},
      {"dene { a; b(1, 2 } yakala e { c } d",
       "(try [a] catch e [c]) d"},
      {"#[test] fn t() { f(1, [2]) } g",
       "(#[test] (fn t () [(call f 1 (list 2))])) g"},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_sexpr(c.source), c.expected) << c.source;
}

std::string numbered_lets(std::size_t count, std::string_view prefix) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += "let " + std::string(prefix) + std::to_string(i) + " = f(" + std::to_string(i) + ");\n";
  }
  return text;
}

void expect_numbered_lets(const Program& program, std::size_t count, std::string_view prefix) {
  ASSERT_EQ(program.statements.size(), count);
  std::size_t i = 0;
  for (const Stmt& stmt : program.statements) {
    ASSERT_EQ(&stmt, &program.statements[i]);
    const Let* let = node_as<Let>(stmt);
    ASSERT_NE(let, nullptr) << i;
    ASSERT_EQ(let->name, std::string(prefix) + std::to_string(i));
    ++i;
  }
  EXPECT_EQ(i, count);
}

// Around the edges of the pieces the statements are kept in.
TEST(ParseLists, ProgramStatementsInOrderAcrossPieces) {
  for (std::size_t count : {0u, 1u, 255u, 256u, 257u, 511u, 512u, 513u, 5000u}) {
    SCOPED_TRACE(count);
    const Program program = parse_document(numbered_lets(count, "x"));
    expect_numbered_lets(program, count, "x");
    if (count == 0) continue;
    EXPECT_EQ(node_as<Let>(program.statements.front())->name, "x0");
    EXPECT_EQ(node_as<Let>(program.statements.back())->name, std::string("x").append(std::to_string(count - 1)));
  }
}

TEST(ParseLists, MovedProgramKeepsItsStatements) {
  Program first = parse_document(numbered_lets(300, "a"));
  Program second = std::move(first);
  EXPECT_TRUE(first.statements.empty());
  expect_numbered_lets(second, 300, "a");
  first = std::move(second);
  EXPECT_EQ(second.statements.size(), 0u);
  expect_numbered_lets(first, 300, "a");
}

// Trees large enough for the full-size blocks that dropped trees leave for
// later parses: trees alive at the same time never share memory.
TEST(ParseLists, LiveTreesStayIntactWhileOthersComeAndGo) {
  constexpr std::size_t kCount = 120000;
  const std::string a = numbered_lets(kCount, "a");
  const std::string b = numbered_lets(kCount, "b");
  auto first = std::make_unique<Program>(parse_document(a));
  const Program second = parse_document(b);
  first.reset();
  const Program third = parse_document(a);
  const Program fourth = parse_document(b);
  expect_numbered_lets(second, kCount, "b");
  expect_numbered_lets(third, kCount, "a");
  expect_numbered_lets(fourth, kCount, "b");
}

}  // namespace
}  // namespace zevo::parser
