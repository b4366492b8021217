#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "lsp/document.hpp"
#include "support/random_text.hpp"
#include "text/lines.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {
namespace {

TextDocumentContentChangeEvent ranged(uint32_t l1, uint32_t c1, uint32_t l2, uint32_t c2, std::string text) {
  return {Range{{l1, c1}, {l2, c2}}, std::nullopt, std::move(text)};
}

TextDocumentContentChangeEvent whole(std::string text) { return {std::nullopt, std::nullopt, std::move(text)}; }

std::vector<TextDocumentContentChangeEvent> one(TextDocumentContentChangeEvent e) {
  std::vector<TextDocumentContentChangeEvent> v;
  v.push_back(std::move(e));
  return v;
}

// What the store does with a one-letter insertion at (line, character): the
// text with the letter at the position's offset, or unchanged when the offset
// lies past the end.
std::string after_insertion_at(std::string_view text, uint32_t line, uint32_t character,
                               std::vector<TextDocumentContentChangeEvent> changes = {}) {
  ServerState state;
  open_document(state, "u:1", std::string(text));
  changes.push_back(ranged(line, character, line, character, "\x01"));
  apply_changes(state, "u:1", std::move(changes));
  return *get_document(state, "u:1")->text;
}

std::string inserted(std::string text, std::size_t offset) {
  if (offset <= text.size()) text.insert(offset, "\x01");
  return text;
}

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
    EXPECT_EQ(after_insertion_at(c.text, c.line, c.character), inserted(std::string(c.text), c.offset))
        << c.text << " (" << c.line << "," << c.character << ")";
  }
}

// The offset of a position by the line rule of split_lines and the column
// rule, written out apart from the store: a line ended by "\r\n" adds 2, any
// other line 1 (a last line without "\n" included); the column is the longest
// start of the line that fits in `character` UTF-16 units.
std::size_t reference_offset(std::string_view text, uint32_t line, uint32_t character) {
  const std::vector<std::string_view> lines = text::split_lines(text);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == line) {
      std::size_t fits = 0;
      for (std::size_t units = 0, at = 0; at < lines[i].size();) {
        const char32_t c = text::decode_utf8(lines[i], at);
        units += c >= 0x10000 ? 2 : 1;
        if (units > character) break;
        fits = at;
      }
      return offset + fits;
    }
    offset += lines[i].size();
    offset += text.substr(offset).starts_with("\r\n") ? 2 : 1;
  }
  return offset;
}

std::string reference_apply(std::string text, const TextDocumentContentChangeEvent& change) {
  if (!change.range) return change.text;
  const std::size_t start = reference_offset(text, change.range->start.line, change.range->start.character);
  const std::size_t end = reference_offset(text, change.range->end.line, change.range->end.character);
  if (start <= end && end <= text.size()) text.replace(start, end - start, change.text);
  return text;
}

// Every position of random texts, after a random change in the same
// notification: the store puts an insertion where the line and column rules say.
TEST(PositionToOffset, EveryPositionOfRandomTextsFollowsSplitLines) {
  zevo::testing::RandomText random(1903);
  for (int round = 0; round < 300; ++round) {
    const std::string start = random.text(24);
    const TextDocumentContentChangeEvent first =
        random.pick(10) == 0 ? whole(random.text(12))
                             : ranged(random.pick(6), random.pick(6), random.pick(6), random.pick(6), random.text(4));
    const std::string changed = reference_apply(start, first);
    const std::vector<std::string_view> lines = text::split_lines(changed);
    std::size_t widest = 0;
    for (std::string_view line : lines) widest = std::max(widest, text::utf16_length(line));
    for (uint32_t line = 0; line <= lines.size() + 1; ++line) {
      for (uint32_t character = 0; character <= widest + 1; ++character) {
        std::vector<TextDocumentContentChangeEvent> changes;
        changes.push_back(first);
        ASSERT_EQ(after_insertion_at(start, line, character, std::move(changes)),
                  inserted(changed, reference_offset(changed, line, character)))
            << ::testing::PrintToString(start) << " then " << ::testing::PrintToString(changed) << " at (" << line
            << "," << character << ")";
      }
    }
  }
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
  zevo::testing::RandomText random(7);
  auto pick = [&](uint32_t n) { return random.pick(n); };
  auto some_text = [&](uint32_t max_pieces) { return random.text(max_pieces); };
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
