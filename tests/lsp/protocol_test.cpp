// Records written to the client: member names, and absent members left out.
#include <gtest/gtest.h>

#include "json/json.hpp"
#include "lsp/protocol.hpp"

namespace zevo::lsp {
namespace {

template <class T>
std::string text(const T& record) {
  return zevo::json::to_text(nlohmann::json(record));
}

// The text writers of answers too large for value trees write what to_json gives.
TEST(ProtocolRecords, TextWritersMatchToJson) {
  const InlayHint hints[] = {
      {{0, 0}, ": int", 1, std::nullopt, std::nullopt},
      {{7, 4294967295u}, "mesaj: ", 2, std::nullopt, true},
      {{4294967295u, 3}, " -> void", 1, true, std::nullopt},
      {{1, 2}, "a\"b\\ç", std::nullopt, false, false},
  };
  for (const InlayHint& hint : hints) {
    std::string out;
    write_inlay_hint_json(out, hint);
    EXPECT_EQ(out, text(hint));
  }
  const Range range{{3, 0}, {3, 12}};
  const CodeLens lenses[] = {
      {range, Command{"▶ Run 'f'", "zevo.runFunction", std::vector<nlohmann::json>{"file:///a b", "f"}}, std::nullopt},
      {range, Command{"1 reference", "editor.action.showReferences", std::vector<nlohmann::json>{"\"q\""}},
       std::nullopt},
      {range, Command{"t", "c", std::nullopt}, nlohmann::json{{"k", 1}}},
      {range, std::nullopt, std::nullopt},
  };
  for (const CodeLens& lens : lenses) {
    std::string out;
    write_code_lens_json(out, lens);
    EXPECT_EQ(out, text(lens));
  }
  const Range ranges[] = {{{0, 0}, {0, 0}}, {{4294967295u, 1}, {2, 4294967295u}}};
  for (const Range& range : ranges) {
    std::string out;
    write_range_json(out, range);
    EXPECT_EQ(out, text(range));
    EXPECT_LE(out.size(), kMaxRangeJson);
  }
}

TEST(ProtocolRecords, ToJson) {
  const Range range{{0, 1}, {2, 3}};
  const std::string range_text = R"({"end":{"character":3,"line":2},"start":{"character":1,"line":0}})";
  EXPECT_EQ(text(range), range_text);
  EXPECT_EQ(text(Location{"file:///a.zv", range}), R"({"range":)" + range_text + R"(,"uri":"file:///a.zv"})");
  EXPECT_EQ(text(Hover{{"markdown", "**x**"}, std::nullopt}), R"({"contents":{"kind":"markdown","value":"**x**"}})");
  EXPECT_EQ(text(Diagnostic{range, 1, "ZEVO", "m"}),
            R"({"message":"m","range":)" + range_text + R"(,"severity":1,"source":"ZEVO"})");
  EXPECT_EQ(text(Diagnostic{range, std::nullopt, std::nullopt, "m"}), R"({"message":"m","range":)" + range_text + "}");
  EXPECT_EQ(text(Command{"Run", "zevo.runFunction", std::nullopt}), R"({"command":"zevo.runFunction","title":"Run"})");
  EXPECT_EQ(text(CodeLens{range, std::nullopt, std::nullopt}), R"({"range":)" + range_text + "}");
  EXPECT_EQ(text(InlayHint{{1, 2}, ": i32", 1, std::nullopt, true}),
            R"({"kind":1,"label":": i32","paddingRight":true,"position":{"character":2,"line":1}})");
  EXPECT_EQ(text(CompletionItem{"eğer", 14, std::nullopt, std::nullopt, "eğer", 2}),
            R"({"insertText":"eğer","insertTextFormat":2,"kind":14,"label":"eğer"})");
  WorkspaceEdit edit;
  edit.changes["file:///b"].push_back({range, "x"});
  edit.changes["file:///a"];
  EXPECT_EQ(text(edit), R"({"changes":{"file:///a":[],"file:///b":[{"newText":"x","range":)" + range_text + "}]}}");
}

}  // namespace
}  // namespace zevo::lsp
