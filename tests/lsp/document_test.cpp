#include <gtest/gtest.h>

#include <iterator>
#include <random>
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

// The line breaks are followed through the changes of one notification: the
// outcome is the same as with one notification per change.
TEST(DocumentStore, ManyRangedChangesInOneNotification) {
  const std::string_view pieces[] = {"a", "\xC3\xA9", "\xF0\x9F\x98\x80", "\r", "\n", "\r\n", "bc"};
  std::mt19937 random(7);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  auto some_text = [&](uint32_t max_pieces) {
    std::string text;
    for (uint32_t n = pick(max_pieces + 1); n > 0; --n) text += pieces[pick(std::size(pieces))];
    return text;
  };
  for (int round = 0; round < 200; ++round) {
    const std::string start = some_text(30);
    std::vector<TextDocumentContentChangeEvent> changes;
    for (int n = 0; n < 25; ++n) {
      if (pick(20) == 0) {
        changes.push_back(whole(some_text(10)));
      } else {
        changes.push_back(ranged(pick(8), pick(7), pick(8), pick(7), some_text(3)));
      }
    }
    ServerState together;
    ServerState apart;
    open_document(together, "u:1", start);
    open_document(apart, "u:1", start);
    for (const auto& change : changes) apply_changes(apart, "u:1", one(change));
    apply_changes(together, "u:1", std::move(changes));
    ASSERT_EQ(*get_document(together, "u:1")->text, *get_document(apart, "u:1")->text) << "round " << round;
  }
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
