// Code lenses and document symbols of a document of many line shapes, against
// the answers recorded in fixtures/ (make_line_answers.py), and the handlers'
// one-piece records against the same records written member by member: the
// same bytes, and the same size named when the writer's limit refuses them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/json.hpp"
#include "lsp/code_lens.hpp"
#include "lsp/symbols.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;
namespace zjson = zevo::json;

constexpr std::string_view kUri = "file:///fixture/line_answers.zv";

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(ZEVO_SOURCE_DIR) + "/tests/lsp/fixtures/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DocumentsSnapshot snapshot_of(std::string_view uri, std::string text) {
  DocumentsSnapshot snapshot;
  snapshot.add(std::string(uri), std::make_shared<const std::string>(std::move(text)));
  return snapshot;
}

json document_params(std::string_view uri) { return {{"textDocument", {{"uri", uri}}}}; }

struct Written {
  std::string text;
  std::size_t refused_at = 0;
};

Written lens_answer(const DocumentsSnapshot& snapshot, std::string_view uri, std::size_t limit) {
  zjson::Writer out(limit);
  EXPECT_TRUE(handle_code_lens(document_params(uri), snapshot, out).ok());
  return {out.refused() ? "" : out.text(), out.refused_at()};
}

Written symbol_answer(const DocumentsSnapshot& snapshot, std::string_view uri, std::size_t limit) {
  zjson::Writer out(limit);
  EXPECT_TRUE(handle_document_symbol(document_params(uri), snapshot, out).ok());
  return {out.refused() ? "" : out.text(), out.refused_at()};
}

// The records of the list written one member at a time.
template <class Record>
Written by_members(const std::vector<Record>& records, std::size_t limit) {
  zjson::Writer out(limit);
  out.begin_array();
  for (const Record& record : records) write(out, record);
  out.end_array();
  return {out.refused() ? "" : out.text(), out.refused_at()};
}

TEST(LineAnswers, RecordedAnswers) {
  const DocumentsSnapshot snapshot = snapshot_of(kUri, fixture("line_answers.zv"));
  EXPECT_EQ(lens_answer(snapshot, kUri, zjson::kMaxMessageBytes).text, fixture("line_answers.lens.json"));
  EXPECT_EQ(symbol_answer(snapshot, kUri, zjson::kMaxMessageBytes).text, fixture("line_answers.symbols.json"));
}

// Texts that no recording over the wire can hold (malformed UTF-8, control
// characters) and URIs that need escapes.
TEST(LineAnswers, OnePieceRecordsAreTheMemberByMemberRecords) {
  struct Case {
    std::string text;
    std::string_view uri;
  };
  const Case cases[] = {
      {fixture("line_answers.zv"), kUri},
      {fixture("line_answers.zv"), "file:///\"tırnak\"\\/\x01.zv"},
      {"fonksiyon a\xff" "b(x)\nlet c\xc3 = 1\nyaz(c\xc3, a\xff" "b)\n", kUri},
      {"fonksiyon a\x01" "b(x) -> T\x7f\nlet \x1f" "d: \x02 = 1\ntip \xe2\x82 = 1\n", kUri},
      {"fonksiyon \xf0\x9f\x98\x80(x)\nyapı \xed\xa0\x80 {\n\xf0\x9f\x98\x80()\n", kUri},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uri);
    const DocumentsSnapshot snapshot = snapshot_of(c.uri, c.text);
    const auto lenses = compute_code_lenses(c.text, c.uri);
    const auto symbols = document_symbols(c.text);
    ASSERT_FALSE(lenses.empty());
    ASSERT_FALSE(symbols.empty());
    const Written lens_full = by_members(lenses, zjson::kMaxMessageBytes);
    const Written symbol_full = by_members(symbols, zjson::kMaxMessageBytes);
    EXPECT_EQ(lens_answer(snapshot, c.uri, zjson::kMaxMessageBytes).text, lens_full.text);
    EXPECT_EQ(symbol_answer(snapshot, c.uri, zjson::kMaxMessageBytes).text, symbol_full.text);
    // Every limit below the whole answer, in steps that fall at every place
    // within a record over the document.
    for (std::size_t limit = 0; limit < lens_full.text.size(); limit += 61) {
      EXPECT_EQ(lens_answer(snapshot, c.uri, limit).refused_at, by_members(lenses, limit).refused_at) << limit;
    }
    for (std::size_t limit = 0; limit < symbol_full.text.size(); limit += 61) {
      EXPECT_EQ(symbol_answer(snapshot, c.uri, limit).refused_at, by_members(symbols, limit).refused_at) << limit;
    }
  }
}

}  // namespace
}  // namespace zevo::lsp
