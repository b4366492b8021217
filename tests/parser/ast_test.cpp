// The arena that holds a tree: alignment, large lists, reuse of blocks across
// trees, and the handles that keep each node reachable from one place.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "parser/ast.hpp"
#include "parser/parser.hpp"

namespace zevo::parser {
namespace {

bool aligned(const void* p, std::size_t align) { return reinterpret_cast<std::uintptr_t>(p) % align == 0; }

TEST(Arena, KeepsEveryObjectAlignedAcrossOddSizedTexts) {
  Arena arena;
  std::vector<std::pair<Text, std::string>> texts;
  for (int i = 0; i < 20000; ++i) {
    const std::string s(static_cast<std::size_t>(i % 7 + 1), static_cast<char>('a' + i % 26));
    texts.emplace_back(arena.text(s), s);
    const Binary* node = arena.make<Binary>(Text::fixed("+"), Expr(Integer{i}), Expr(Integer{-i}));
    ASSERT_TRUE(aligned(node, alignof(Binary)));
    const auto* wide = static_cast<const long double*>(arena.allocate(sizeof(long double), alignof(long double)));
    ASSERT_TRUE(aligned(wide, alignof(long double)));
  }
  // Later blocks never overwrite what earlier ones hold.
  for (const auto& [text, expected] : texts) ASSERT_EQ(text, expected);
}

TEST(Arena, TextsAndListsOfEveryLengthKeepTheirItems) {
  Arena arena;
  std::vector<std::pair<Text, std::string>> texts;
  // Around the longest length a text holds beside its address, and past a block.
  for (const std::size_t size : {0, 1, 65534, 65535, 65536, 70000, 300000}) {
    std::string s(size, 'x');
    for (std::size_t i = 0; i < size; i += 97) s[i] = static_cast<char>('a' + i % 26);
    texts.emplace_back(arena.text(s), s);
  }
  for (const auto& [text, expected] : texts) {
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_EQ(text.empty(), expected.empty());
    EXPECT_EQ(text.view(), expected);
  }
  EXPECT_TRUE(Text().empty());
  for (const std::size_t size : {1, 65534, 65535, 65536}) {
    std::vector<Expr> items;
    for (std::size_t i = 0; i < size; ++i) items.emplace_back(Integer{static_cast<std::int64_t>(i)});
    const Seq<Expr> list = arena.seq(std::move(items));
    ASSERT_EQ(list.size(), size);
    EXPECT_EQ(std::get<Integer>(list.front().node).value, 0);
    EXPECT_EQ(std::get<Integer>(list.back().node).value, static_cast<std::int64_t>(size - 1));
  }
  EXPECT_EQ(Text::fixed("değil").view(), "değil");
}

TEST(Arena, ListsLargerThanABlock) {
  Arena arena;
  std::vector<Expr> items;
  constexpr std::int64_t kCount = 300000;  // 4.8 MB of handles
  for (std::int64_t i = 0; i < kCount; ++i) items.emplace_back(Integer{i});
  const Seq<Expr> list = arena.seq(std::move(items));
  ASSERT_EQ(list.size(), static_cast<std::size_t>(kCount));
  for (std::int64_t i = 0; i < kCount; i += 997) EXPECT_EQ(std::get<Integer>(list[i].node).value, i);
  EXPECT_EQ(std::get<Integer>(list.back().node).value, kCount - 1);
}

// Blocks of a dropped tree serve the next one; nothing of the old tree shows through.
TEST(Arena, NextTreeReusesBlocksCleanly) {
  std::string big;
  for (int i = 0; i < 40000; ++i) big += "değişken isim_" + std::to_string(i) + " = \"" + std::to_string(i) + "\";\n";
  for (int round = 0; round < 3; ++round) {
    const Program program = parse_document(big);
    ASSERT_EQ(program.statements.size(), 40000u);
    for (std::size_t i = 0; i < program.statements.size(); i += 3989) {
      const Let* let = node_as<Let>(program.statements[i]);
      ASSERT_NE(let, nullptr);
      EXPECT_EQ(let->name, "isim_" + std::to_string(i));
      EXPECT_EQ(node_as<Str>(let->value)->text, std::to_string(i));
    }
  }
}

TEST(Arena, SpansOfPanicAndTryKeepTheirFileName) {
  const Program program = parse_document("x?\npanic!(\"m\")");
  ASSERT_EQ(program.statements.size(), 2u);
  const auto* try_expr = node_as<TryExpr>(node_as<ExprStmt>(program.statements[0])->expr);
  ASSERT_NE(try_expr, nullptr);
  EXPECT_EQ(try_expr->location.file.name, "<stdin>");
  EXPECT_EQ(try_expr->location.line, 1u);
  EXPECT_EQ(try_expr->location.column, 2u);
  const auto* panic = node_as<Panic>(node_as<ExprStmt>(program.statements[1])->expr);
  ASSERT_NE(panic, nullptr);
  EXPECT_EQ(panic->location.file.name, "<stdin>");
  EXPECT_EQ(panic->location.line, 2u);
  EXPECT_EQ(panic->location.length, 5u);
}

// A handle cannot be copied, so a node has one parent; it moves as plain bytes
// (its source is not read again). A list's source is left empty.
TEST(Box, MovesWholeAndCannotBeCopied) {
  static_assert(!std::is_copy_constructible_v<Box<Str>> && !std::is_copy_assignable_v<Box<Str>>);
  static_assert(!std::is_copy_constructible_v<Expr> && !std::is_copy_constructible_v<Stmt>);
  Arena arena;
  Expr a(arena.box<Str>(arena.text("x")));
  Expr b(std::move(a));
  ASSERT_NE(node_as<Str>(b), nullptr);
  EXPECT_EQ(node_as<Str>(b)->text, "x");

  std::vector<Stmt> list;
  list.emplace_back(arena.box<Return>(std::move(b)));
  Seq<Stmt> frozen = arena.seq(std::move(list));
  Seq<Stmt> moved = std::move(frozen);
  EXPECT_TRUE(frozen.empty());
  EXPECT_EQ(moved.size(), 1u);
}

}  // namespace
}  // namespace zevo::parser
