// No text may exhaust the stack: nesting the parser recurses on is cut off at
// kMaxNesting, and chains it builds by loops (of any length) are dropped
// without recursion. Every shape here is a million levels deep.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser/parser.hpp"
#include "parser/sexpr.hpp"
#include "support/repeat.hpp"

namespace zevo::parser {
namespace {

using testing::parse_sexpr;
using testing::sexpr;

constexpr std::size_t kDeep = 1'000'000;

using zevo::testing::repeat;

std::string last_statement(const Program& program) {
  if (program.statements.empty()) return "";
  testing::SexprPrinter p;
  p.stmt(program.statements.back());
  return p.out;
}

struct Shape {
  const char* name;
  std::string text;
};

// Shapes the parser reads by recursion: the construct past the bound yields
// nothing, and the statement after it still parses.
void expect_cut_off(const std::vector<Shape>& shapes) {
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    const Program program = parse_document(shape.text + "\nson_satır = 1");
    EXPECT_EQ(last_statement(program), "(assign son_satır 1)");
  }
}

TEST(ParseDepth, NestedExpressionsAreCutOff) {
  expect_cut_off({
      {"parentheses", repeat("(", kDeep) + "x" + repeat(")", kDeep)},
      {"unclosed parentheses", repeat("(", kDeep) + ";"},
      {"brackets", repeat("[", kDeep) + "1" + repeat("]", kDeep)},
      {"değil chain", repeat("değil ", kDeep) + "x"},
      {"minus chain", repeat("- ", kDeep) + "x"},
      {"move chain", repeat("geçir ", kDeep) + "x"},
      {"nested calls", repeat("f(", kDeep) + repeat(")", kDeep)},
      {"nested Some", repeat("Some(", kDeep) + "1" + repeat(")", kDeep)},
      {"path chain", repeat("a::", kDeep) + "b"},
      {"right operands", repeat("a + b * ", kDeep) + "c"},
  });
}

TEST(ParseDepth, NestedBlocksAndStatementsAreCutOff) {
  expect_cut_off({
      {"braces", repeat("{", kDeep) + repeat("}", kDeep)},
      {"nested if blocks", repeat("eğer a { ", kDeep) + repeat("} ", kDeep)},
      {"nested while blocks", repeat("while a do ", kDeep) + repeat("end ", kDeep)},
      {"if expressions", "let v = " + repeat("if a { ", kDeep) + repeat("} ", kDeep)},
      {"attribute stacking", repeat("#[a] ", kDeep) + "x"},
  });
}

TEST(ParseDepth, NestedTypesPatternsAttributesAreCutOff) {
  expect_cut_off({
      {"attribute nesting", "#[a(" + repeat("b(", kDeep) + repeat(")", kDeep) + ")] x"},
      {"type arguments", "tip T = " + repeat("Vec<", kDeep) + "int" + repeat(">", kDeep)},
      {"tuple types", "tip T = " + repeat("(", kDeep) + "int" + repeat(")", kDeep)},
      {"patterns", "seç x yap durum " + repeat("Bazı(", kDeep) + "v" + repeat(")", kDeep) + " => v son"},
      {"tuple patterns", "seç x yap durum " + repeat("(", kDeep) + "v" + repeat(")", kDeep) + " => v son"},
  });
}

// A module takes the rest of the text, so past the bound the rest is dropped.
TEST(ParseDepth, NestedModulesKeepTheOutermost) {
  const Program program = parse_document(repeat("modül M ", kDeep) + "x = 1");
  ASSERT_EQ(program.statements.size(), 1u);
  EXPECT_NE(node_as<Module>(program.statements.front()), nullptr);
}

TEST(ParseDepth, NestingWithinTheBoundParses) {
  const std::string shallow = "let x = " + repeat("(", 200) + "1" + repeat(")", 200);
  EXPECT_EQ(parse_sexpr(shallow), "(let x 1)");
  const std::string deep = "let x = " + repeat("(", kMaxNesting) + "1" + repeat(")", kMaxNesting);
  EXPECT_EQ(parse_sexpr(deep).find("(let"), std::string::npos);

  const std::string blocks = repeat("if a { ", 100) + "x" + repeat(" }", 100);
  std::string expected = "x";
  for (int i = 0; i < 100; ++i) expected = "(if a [" + expected + "])";
  EXPECT_EQ(parse_sexpr(blocks), expected);
}

// One step down a chain: the given child of a node of the given kind.
template <class Node, Expr Node::*child>
const Expr* child_of(const Expr& e) {
  const Node* node = node_as<Node>(e);
  return node ? &(node->*child) : nullptr;
}

// Follows the first child down a chain built by the expression loop.
template <class Step>
std::size_t chain_length(const Expr& root, Step step) {
  std::size_t n = 0;
  for (const Expr* e = &root; e != nullptr; e = step(*e)) ++n;
  return n;
}

const Expr& only_expression(const Program& program) {
  EXPECT_EQ(program.statements.size(), 1u);
  const auto* stmt = node_as<ExprStmt>(program.statements.front());
  EXPECT_NE(stmt, nullptr);
  return stmt->expr;
}

// Chains the expression loop builds without recursing: any length is kept
// whole, and dropping it must not recurse either.
TEST(ParseDepth, LoopBuiltChainsOfAnyLength) {
  struct Case {
    const char* name;
    std::string text;
    const Expr* (*step)(const Expr&);
  };
  const Case cases[] = {
      {"left-associative sum", "a" + repeat(" + a", kDeep), child_of<Binary, &Binary::left>},
      {"member chain", "a" + repeat(".b", kDeep), child_of<Binary, &Binary::left>},
      {"method chain", "a" + repeat(".b()", kDeep), child_of<MethodCall, &MethodCall::object>},
      {"call chain", "f" + repeat("()", kDeep), child_of<Call, &Call::callee>},
      {"index chain", "a" + repeat("[0]", kDeep), child_of<Index, &Index::object>},
      {"try chain", "a" + repeat("?", kDeep), child_of<TryExpr, &TryExpr::operand>},
      {"cast chain", "a" + repeat(" as T", kDeep), child_of<Cast, &Cast::operand>},
      {"range chain", "a" + repeat("..a", kDeep), child_of<RangeExpr, &RangeExpr::low>},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Program program = parse_document(c.text);
    EXPECT_EQ(chain_length(only_expression(program), c.step), kDeep + 1);
  }
}

std::size_t else_if_links(const Program& program, bool& ends_in_else) {
  const If* record = program.statements.size() == 1 ? node_as<If>(program.statements.front()) : nullptr;
  std::size_t links = 0;
  ends_in_else = false;
  while (record != nullptr) {
    ++links;
    const If* next = nullptr;
    if (record->else_branch) {
      if (const auto* tail = std::get_if<ElseBranch::ElseIf>(&record->else_branch->value)) {
        next = tail->link.get();
      } else {
        ends_in_else = true;
      }
    }
    record = next;
  }
  return links;
}

TEST(ParseDepth, ElseIfChainsOfAnyLength) {
  struct Case {
    const char* link;
    std::size_t count;
  };
  for (const Case& c : {Case{" else if a { b }", kDeep}, Case{" elif a { b }", 1000}, Case{" veya eğer a { b }", 1000}}) {
    SCOPED_TRACE(c.link);
    const Program program = parse_document("if a { b }" + repeat(c.link, c.count) + " else { c }");
    bool ends_in_else = false;
    EXPECT_EQ(else_if_links(program, ends_in_else), c.count + 1);
    EXPECT_TRUE(ends_in_else);
  }
}

// A chain that fails at its very end is dropped part-way through its building.
TEST(ParseDepth, FailedLongChainIsDropped) {
  EXPECT_EQ(parse_sexpr("a" + repeat(" + a", kDeep) + " + ) x"), "x");
  EXPECT_EQ(parse_sexpr("if a { b }" + repeat(" elif a { b }", kDeep) + " elif ) x"), "x");
}

}  // namespace
}  // namespace zevo::parser
