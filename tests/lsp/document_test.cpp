#include <gtest/gtest.h>

#include <set>

#include "lsp/document.hpp"

namespace zevo::lsp {
namespace {

TEST(PositionToOffset, Examples) {
  struct Case {
    std::string_view text;
    uint32_t line, character;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\r\ncd", 1, 0, 4},
      {"ab\r\ncd", 0, 5, 2},       // past the end of the line: before its CR LF
      {"aé😀b", 0, 2, 3},
      {"aé😀b", 0, 3, 3},          // between the two units of the astral character
      {"aé😀b", 0, 4, 7},
      {"aé😀b", 0, 9, 8},
      {"abc\n", 1, 0, 4},          // line past the end: the text's length
      {"abc", 1, 0, 4},            // without a final "\n": one past the length
      {"abc", 7, 3, 4},
      {"", 0, 0, 0},
      {"", 5, 9, 0},
      {"a\nb\n", 1, 1, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(position_to_offset(c.text, c.line, c.character), c.offset)
        << c.text << " (" << c.line << "," << c.character << ")";
  }
}

TextDocumentContentChangeEvent ranged(uint32_t l1, uint32_t c1, uint32_t l2, uint32_t c2, std::string text) {
  return {Range{{l1, c1}, {l2, c2}}, std::nullopt, std::move(text)};
}

TextDocumentContentChangeEvent whole(std::string text) { return {std::nullopt, std::nullopt, std::move(text)}; }

std::vector<TextDocumentContentChangeEvent> one(TextDocumentContentChangeEvent e) {
  std::vector<TextDocumentContentChangeEvent> v;
  v.push_back(std::move(e));
  return v;
}

TEST(DocumentStore, OpenChangeClose) {
  ServerState state;
  open_document(state, "file:///a", "one");
  open_document(state, "file:///a", "two");
  ASSERT_EQ(state.documents.size(), 1u);
  EXPECT_EQ(*get_document(state, "file:///a")->text, "two");

  apply_changes(state, "file:///never", one(whole("x")));
  EXPECT_EQ(get_document(state, "file:///never"), nullptr);

  std::vector<TextDocumentContentChangeEvent> changes;
  changes.push_back(whole("abc\n"));
  changes.push_back(ranged(1, 0, 1, 0, "d"));       // append after the final "\n"
  changes.push_back(ranged(0, 2, 0, 1, "SKIP"));    // runs backwards: skipped
  changes.push_back(ranged(0, 0, 0, 1, ""));        // later changes still apply
  apply_changes(state, "file:///a", std::move(changes));
  EXPECT_EQ(*get_document(state, "file:///a")->text, "bc\nd");

  apply_changes(state, "file:///a", one(ranged(1, 1, 1, 1, "x")));
  EXPECT_EQ(*get_document(state, "file:///a")->text, "bc\ndx");
  apply_changes(state, "file:///a", one(ranged(2, 0, 2, 0, "y")));  // one past the end: skipped
  EXPECT_EQ(*get_document(state, "file:///a")->text, "bc\ndx");

  close_document(state, "file:///missing");
  close_document(state, "file:///a");
  EXPECT_EQ(get_document(state, "file:///a"), nullptr);
}

TEST(DocumentStore, RangeLengthIsIgnored) {
  ServerState state;
  open_document(state, "u:1", "abcdef");
  auto change = ranged(0, 1, 0, 3, "X");
  change.range_length = 100;
  apply_changes(state, "u:1", one(std::move(change)));
  EXPECT_EQ(*get_document(state, "u:1")->text, "aXdef");
}

TEST(DocumentStore, EmptyTextInsertsAtTheStart) {
  ServerState state;
  open_document(state, "u:1", "");
  apply_changes(state, "u:1", one(ranged(4, 4, 9, 9, "x")));
  EXPECT_EQ(*get_document(state, "u:1")->text, "x");
}

TEST(DocumentStore, SnapshotDoesNotSeeLaterChanges) {
  ServerState state;
  open_document(state, "u:1", "first");
  open_document(state, "u:2", "second");
  const DocumentsSnapshot snapshot = documents_snapshot(state);
  // Taking it shares the stored texts instead of copying them.
  EXPECT_EQ(snapshot.find("u:1"), get_document(state, "u:1")->text.get());
  apply_changes(state, "u:1", one(whole("changed")));
  close_document(state, "u:2");
  ASSERT_NE(snapshot.find("u:1"), nullptr);
  EXPECT_EQ(*snapshot.find("u:1"), "first");
  EXPECT_EQ(*snapshot.find("u:2"), "second");
  EXPECT_EQ(snapshot.find("u:3"), nullptr);
  std::set<std::string> uris;
  for (const auto& e : snapshot.entries()) uris.insert(e.uri);
  EXPECT_EQ(uris, (std::set<std::string>{"u:1", "u:2"}));
}

}  // namespace
}  // namespace zevo::lsp
