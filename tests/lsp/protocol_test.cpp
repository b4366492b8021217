// Records written to the client: member names in byte order, and absent
// members left out.
#include <gtest/gtest.h>

#include "json/json.hpp"
#include "lsp/protocol.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

TEST(ProtocolRecords, InlayHintsLensesAndRanges) {
  struct Case {
    std::string written;
    std::string expected;
  };
  const Range range{{3, 0}, {3, 12}};
  const std::string range_text = R"({"end":{"character":12,"line":3},"start":{"character":0,"line":3}})";
  const Case cases[] = {
      {written(InlayHint{{0, 0}, ": int", 1, std::nullopt, std::nullopt}),
       R"({"kind":1,"label":": int","position":{"character":0,"line":0}})"},
      {written(InlayHint{{7, 4294967295u}, "mesaj: ", 2, std::nullopt, true}),
       R"({"kind":2,"label":"mesaj: ","paddingRight":true,"position":{"character":4294967295,"line":7}})"},
      {written(InlayHint{{4294967295u, 3}, " -> void", 1, true, std::nullopt}),
       R"({"kind":1,"label":" -> void","paddingLeft":true,"position":{"character":3,"line":4294967295}})"},
      {written(InlayHint{{1, 2}, "a\"b\\ç", std::nullopt, false, false}),
       R"({"label":"a\"b\\ç","paddingLeft":false,"paddingRight":false,"position":{"character":2,"line":1}})"},
      {written(CodeLens{range,
                        Command{"▶ Run 'f'", "zevo.runFunction", std::vector<nlohmann::json>{"file:///a b", "f"}},
                        std::nullopt}),
       R"({"command":{"arguments":["file:///a b","f"],"command":"zevo.runFunction","title":"▶ Run 'f'"},"range":)" +
           range_text + "}"},
      {written(CodeLens{range, Command{"1 reference", "editor.action.showReferences", std::vector<nlohmann::json>{"\"q\""}},
                        std::nullopt}),
       R"({"command":{"arguments":["\"q\""],"command":"editor.action.showReferences","title":"1 reference"},"range":)" +
           range_text + "}"},
      {written(CodeLens{range, Command{"t", "c", std::nullopt}, nlohmann::json{{"k", 1}}}),
       R"({"command":{"command":"c","title":"t"},"data":{"k":1},"range":)" + range_text + "}"},
      {written(CodeLens{range, std::nullopt, std::nullopt}), R"({"range":)" + range_text + "}"},
      {written(Range{{0, 0}, {0, 0}}), R"({"end":{"character":0,"line":0},"start":{"character":0,"line":0}})"},
      {written(Range{{4294967295u, 1}, {2, 4294967295u}}),
       R"({"end":{"character":4294967295,"line":2},"start":{"character":1,"line":4294967295}})"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.written, c.expected);
}

TEST(ProtocolRecords, Written) {
  const Range range{{0, 1}, {2, 3}};
  const std::string range_text = R"({"end":{"character":3,"line":2},"start":{"character":1,"line":0}})";
  EXPECT_EQ(written(range), range_text);
  EXPECT_EQ(written(Location{"file:///a.zv", range}), R"({"range":)" + range_text + R"(,"uri":"file:///a.zv"})");
  EXPECT_EQ(written(TextEdit{range, "x"}), R"({"newText":"x","range":)" + range_text + "}");
  EXPECT_EQ(written(Hover{{"markdown", "**x**"}, std::nullopt}), R"({"contents":{"kind":"markdown","value":"**x**"}})");
  EXPECT_EQ(written(Hover{{"markdown", "y"}, range}),
            R"({"contents":{"kind":"markdown","value":"y"},"range":)" + range_text + "}");
  EXPECT_EQ(written(Diagnostic{range, 1, "ZEVO", "m"}),
            R"({"message":"m","range":)" + range_text + R"(,"severity":1,"source":"ZEVO"})");
  EXPECT_EQ(written(Diagnostic{range, std::nullopt, std::nullopt, "m"}), R"({"message":"m","range":)" + range_text + "}");
  EXPECT_EQ(written(Command{"Run", "zevo.runFunction", std::nullopt}), R"({"command":"zevo.runFunction","title":"Run"})");
  EXPECT_EQ(written(InlayHint{{1, 2}, ": i32", 1, std::nullopt, true}),
            R"({"kind":1,"label":": i32","paddingRight":true,"position":{"character":2,"line":1}})");
  EXPECT_EQ(written(CompletionItem{"eğer", 14, std::nullopt, std::nullopt, "eğer", 2}),
            R"({"insertText":"eğer","insertTextFormat":2,"kind":14,"label":"eğer"})");
  EXPECT_EQ(written(CompletionItem{"x", std::nullopt, "d", MarkupContent{"markdown", "m"}, std::nullopt, std::nullopt}),
            R"({"detail":"d","documentation":{"kind":"markdown","value":"m"},"label":"x"})");
}

}  // namespace
}  // namespace zevo::lsp
