#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/code_actions.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

json range(uint64_t l1, uint64_t c1, uint64_t l2, uint64_t c2) {
  return json{{"start", {{"line", l1}, {"character", c1}}}, {"end", {{"line", l2}, {"character", c2}}}};
}

json diagnostic(std::string message, json r = range(0, 0, 0, 1)) {
  return json{{"message", std::move(message)}, {"range", std::move(r)}, {"severity", 1}};
}

// The quick fixes as the client reads them.
std::vector<json> quick_fixes(const json& diagnostic, std::string_view uri) {
  std::vector<json> out;
  for (const CodeAction& action : diagnostic_quick_fixes(diagnostic, uri)) out.push_back(json::parse(written(action)));
  return out;
}

std::vector<std::string> titles(const std::vector<json>& actions) {
  std::vector<std::string> out;
  for (const auto& a : actions) out.push_back(a["title"].get<std::string>());
  return out;
}

std::vector<std::string> titles(const json& actions) {
  return titles(std::vector<json>(actions.begin(), actions.end()));
}

TEST(DiagnosticQuickFixes, DeclareVariableExactJson) {
  const auto fixes = quick_fixes(diagnostic("undefined variable 'x'", range(4, 2, 4, 3)), "file:///a");
  ASSERT_EQ(fixes.size(), 1u);
  EXPECT_EQ(fixes[0].dump(),
            R"({"edit":{"changes":{"file:///a":[{"newText":"değişken x: tamsayı = 0\n","range":{"end":{"character":0,"line":4},"start":{"character":0,"line":4}}}]}},"kind":"quickfix","title":"Declare variable 'x'"})");
}

TEST(DiagnosticQuickFixes, RulesByMessage) {
  struct Case {
    std::string message;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {"undefined variable 'sayaç'", {"Declare variable 'sayaç'"}},
      {"tanımsız değişken `x`", {"Declare variable 'x'"}},
      {"undefined variable x", {}},
      {"undefined 'a' and `b`", {"Declare variable 'a'"}},
      {"undefined 'a and `b`", {"Declare variable 'b'"}},  // no apostrophe pair: the back-quotes
      {"undefined variable ''", {}},                      // an empty pair names nothing
      {"Undefined variable 'x'", {}},                     // case-sensitive
      {"expected ';'", {"Add semicolon"}},
      {"expected ')'", {}},
      {"missing ;", {}},
      {"unknown keyword: function", {"Replace 'function' with 'fonksiyon'"}},
      {"anahtar kelime hatası: eğer", {"Replace 'eğer' with 'if'"}},
      {"keyword used as identifier", {"Replace 'if' with 'eğer'"}},  // "identifier" holds "if"
      {"keyword 'let' or 'fonksiyon'", {"Replace 'fonksiyon' with 'function'"}},  // table order, not message order
      {"keyword", {}},
      {"undefined keyword 'do'; expected ';'",
       {"Declare variable 'do'", "Add semicolon", "Replace 'do' with 'yap'"}},
      {"type mismatch: integer and float", {"Convert to float"}},
      {"tip uyuşmazlığı: integer, float", {"Convert to float"}},
      {"tip uyuşmazlığı: tamsayı ve ondalık", {"Convert to integer"}},
      {"type mismatch: tamsayı, ondalık, integer and float", {"Convert to float"}},
      {"type mismatch: tamsayı, ondalık, integer", {"Convert to integer"}},
      {"type mismatch: integer", {}},
      {"integer and float", {}},
      {"undefined keyword 'x' in if: type mismatch, integer float; expected ';'",
       {"Declare variable 'x'", "Add semicolon", "Replace 'if' with 'eğer'", "Convert to float"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(titles(quick_fixes(diagnostic(c.message), "u")), c.titles) << c.message;
  }
}

TEST(DiagnosticQuickFixes, EditsUseTheDiagnosticsNumbersAndRange) {
  const json r = range(3, 1, 3, 12);
  const auto semicolon = quick_fixes(diagnostic("expected ';'", r), "u");
  ASSERT_EQ(semicolon.size(), 1u);
  EXPECT_EQ(semicolon[0]["edit"]["changes"]["u"].dump(),
            R"([{"newText":";","range":{"end":{"character":12,"line":3},"start":{"character":12,"line":3}}}])");

  // The keyword fix copies the range as it came, members the server does not know included.
  json odd = r;
  odd["extra"] = "kept";
  const auto keyword = quick_fixes(diagnostic("keyword while", odd), "u");
  ASSERT_EQ(keyword.size(), 1u);
  EXPECT_EQ(keyword[0]["edit"]["changes"]["u"][0]["range"], odd);
  EXPECT_EQ(keyword[0]["edit"]["changes"]["u"][0]["newText"], "iken");

  // The conversion keeps the expression: the call opens at the start and closes at the end.
  const auto to_float = quick_fixes(diagnostic("type mismatch: integer vs float", range(2, 4, 2, 9)), "u");
  ASSERT_EQ(to_float.size(), 1u);
  EXPECT_EQ(to_float[0]["kind"], "quickfix");
  EXPECT_EQ(to_float[0]["edit"]["changes"]["u"].dump(),
            R"([{"newText":"kesir_olarak(","range":{"end":{"character":4,"line":2},"start":{"character":4,"line":2}}},)"
            R"js({"newText":")","range":{"end":{"character":9,"line":2},"start":{"character":9,"line":2}}}])js");
  const auto to_int = quick_fixes(diagnostic("tip uyuşmazlığı: ondalık, tamsayı", range(0, 1, 1, 2)), "u");
  ASSERT_EQ(to_int.size(), 1u);
  EXPECT_EQ(to_int[0]["edit"]["changes"]["u"][0]["newText"], "tamsayı_olarak(");
  EXPECT_EQ(to_int[0]["edit"]["changes"]["u"][1]["range"]["start"], range(0, 1, 1, 2)["end"]);
}

TEST(DiagnosticQuickFixes, MalformedDiagnostics) {
  // Not an object, no text message: nothing.
  for (const json& d : {json(nullptr), json("undefined 'x'"), json::array({"undefined 'x'"}),
                        json{{"message", 5}}, json{{"range", range(0, 0, 0, 0)}}}) {
    EXPECT_TRUE(quick_fixes(d, "u").empty()) << d.dump();
  }

  // Numbers that are not non-negative integers read as 0; a large one is written back whole.
  struct Case {
    json line;
    json expected;
  };
  const Case cases[] = {
      {-3, 0}, {1.5, 0}, {2.0, 0}, {"7", 0}, {nullptr, 0}, {json::object(), 0},
      {uint64_t{18446744073709551615u}, uint64_t{18446744073709551615u}}, {int64_t{9}, 9},
  };
  for (const auto& c : cases) {
    json d = {{"message", "undefined 'x'; expected ';'"},
              {"range", {{"start", {{"line", c.line}}}, {"end", {{"line", c.line}, {"character", c.line}}}}}};
    const auto fixes = quick_fixes(d, "u");
    ASSERT_EQ(fixes.size(), 2u) << c.line.dump();
    EXPECT_EQ(fixes[0]["edit"]["changes"]["u"][0]["range"]["start"]["line"], c.expected) << c.line.dump();
    EXPECT_EQ(fixes[1]["edit"]["changes"]["u"][0]["range"]["start"]["line"], c.expected) << c.line.dump();
    EXPECT_EQ(fixes[1]["edit"]["changes"]["u"][0]["range"]["start"]["character"], c.expected) << c.line.dump();
  }

  // Without a range: positions read 0, copied ranges are null.
  const auto fixes = quick_fixes(json{{"message", "keyword if; type mismatch integer float"}}, "u");
  ASSERT_EQ(titles(fixes), (std::vector<std::string>{"Replace 'if' with 'eğer'", "Convert to float"}));
  EXPECT_TRUE(fixes[0]["edit"]["changes"]["u"][0]["range"].is_null());
  EXPECT_EQ(fixes[1]["edit"]["changes"]["u"][0]["range"].dump(), R"({"end":null,"start":null})");
}

class HandleCodeAction : public ::testing::Test {
 protected:
  void SetUp() override {
    open_document(state, "file:///a", "let x = 5\nprint(x)\n    EĞER x ise\neğer if\nformat\n");
    open_document(state, "file:///empty", "");
  }

  json request(std::string uri, json r, json diagnostics = json::array()) const {
    const Answer result = answer_of(handle_code_action, json{{"textDocument", {{"uri", std::move(uri)}}},
                                                         {"range", std::move(r)},
                                                         {"context", {{"diagnostics", std::move(diagnostics)}}}},
                                                    state);
    EXPECT_TRUE(result.ok());
    return result.ok() ? json::parse(result.text) : json("not a value");
  }

  ServerState state;
};

TEST_F(HandleCodeAction, NullWhenNotOpenOrMalformed) {
  const std::vector<json> diagnostics = {diagnostic("undefined 'x'")};
  EXPECT_TRUE(request("file:///b", range(0, 0, 0, 0), diagnostics).is_null());
  EXPECT_TRUE(request("FILE:///a", range(0, 0, 0, 0), diagnostics).is_null());  // spelled otherwise than the key
  for (const Params& params : {Params{}, Params{json::array()}, Params{json{{"textDocument", {{"uri", 1}}}}},
                               Params{json{{"textDocument", "file:///a"}}}}) {
    const Answer result = answer_of(handle_code_action, params, state);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.text, "null");
  }
}

TEST_F(HandleCodeAction, SingleLineRangeExactJson) {
  const json r = range(0, 4, 0, 5);
  EXPECT_EQ(request("file:///a", r).dump(),
            R"([{"edit":{"changes":{"file:///a":[{"newText":"yeni_değişken","range":{"end":{"character":5,"line":0},"start":{"character":4,"line":0}}}]}},"kind":"refactor.extract","title":"Extract to variable"},)"
            R"({"command":{"arguments":["file:///a",{"end":{"character":5,"line":0},"start":{"character":4,"line":0}}],"command":"zevo.translateToTurkish","title":"Translate keywords to Turkish"},"kind":"refactor.rewrite","title":"Translate to Turkish"}])");
}

TEST_F(HandleCodeAction, MultiLineRangeExtractsToFunction) {
  const json r = range(2, 0, 5, 0);
  const json actions = request("file:///a", r);
  ASSERT_EQ(titles(actions), (std::vector<std::string>{"Extract to function", "Translate to English"}));
  EXPECT_EQ(actions[0].dump(),
            R"({"command":{"arguments":["file:///a",{"end":{"character":0,"line":5},"start":{"character":0,"line":2}}],"command":"zevo.extractFunction","title":"Extract to function"},"kind":"refactor.extract","title":"Extract to function"})");
  EXPECT_EQ(actions[1]["command"]["command"], "zevo.translateToEnglish");
  EXPECT_EQ(actions[1]["command"]["title"], "Translate keywords to English");
}

TEST_F(HandleCodeAction, TranslateLooksAtTheStartLineOnly) {
  struct Case {
    std::string uri;
    uint64_t start, end;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {"file:///a", 0, 0, {"Extract to variable", "Translate to Turkish"}},
      {"file:///a", 1, 1, {"Extract to variable"}},  // print(x)
      {"file:///a", 1, 2, {"Extract to function"}},  // line 2 would translate, but only line 1 counts
      {"file:///a", 2, 2, {"Extract to variable", "Translate to English"}},  // upper case lowers to "eğer"
      {"file:///a", 3, 3, {"Extract to variable", "Translate to English"}},  // Turkish wins over "if"
      {"file:///a", 4, 4, {"Extract to variable", "Translate to Turkish"}},  // "format" holds "for"
      {"file:///a", 5, 5, {"Extract to variable"}},  // past the last line
      {"file:///empty", 0, 0, {"Extract to variable"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(titles(request(c.uri, range(c.start, 0, c.end, 0))), c.titles) << c.uri << " " << c.start;
  }
}

TEST_F(HandleCodeAction, OddRangesAreCopiedAndReadAsZero) {
  // A range that is no object: lines read 0, so line 0 decides, and the value is copied as it came.
  const json actions = request("file:///a", "whatever");
  ASSERT_EQ(titles(actions), (std::vector<std::string>{"Extract to variable", "Translate to Turkish"}));
  EXPECT_EQ(actions[0]["edit"]["changes"]["file:///a"][0]["range"], "whatever");
  EXPECT_EQ(actions[1]["command"]["arguments"], json::array({"file:///a", "whatever"}));

  // A missing range is copied as null.
  const Answer result = answer_of(handle_code_action, json{{"textDocument", {{"uri", "file:///a"}}}}, state);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(json::parse(result.text)[0]["edit"]["changes"]["file:///a"][0]["range"].is_null());

  // A negative start line reads 0 and equals an end line of 0.
  json negative = range(0, 0, 0, 0);
  negative["start"]["line"] = -1;
  EXPECT_EQ(titles(request("file:///a", negative)),
            (std::vector<std::string>{"Extract to variable", "Translate to Turkish"}));
}

TEST_F(HandleCodeAction, QuickFixesComeFirstInDiagnosticOrder) {
  const json diagnostics = json::array({diagnostic("expected ';'"), "not a diagnostic", diagnostic("undefined `y`"),
                                        json{{"message", nullptr}}, diagnostic("keyword sabit")});
  EXPECT_EQ(titles(request("file:///a", range(1, 0, 1, 0), diagnostics)),
            (std::vector<std::string>{"Add semicolon", "Declare variable 'y'", "Replace 'sabit' with 'const'",
                                      "Extract to variable"}));

  // Diagnostics that are no array give no quick fixes.
  const Answer result = answer_of(handle_code_action, json{{"textDocument", {{"uri", "file:///a"}}},
                                                       {"range", range(1, 0, 1, 0)},
                                                       {"context", {{"diagnostics", diagnostic("expected ';'")}}}},
                                                  state);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(titles(json::parse(result.text)), std::vector<std::string>{"Extract to variable"});
}

}  // namespace
}  // namespace zevo::lsp
