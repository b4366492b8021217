#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lsp/references.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

json reference_params(std::string_view uri, uint32_t line, uint32_t character, bool include_declaration) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}},
          {"context", {{"includeDeclaration", include_declaration}}}};
}

// One location as "uri line:start-end".
std::string entry(const json& location) {
  const json& range = location.at("range");
  EXPECT_EQ(range.at("start").at("line"), range.at("end").at("line"));
  return location.at("uri").get<std::string>() + " " + std::to_string(range.at("start").at("line").get<int>()) + ":" +
         std::to_string(range.at("start").at("character").get<int>()) + "-" +
         std::to_string(range.at("end").at("character").get<int>());
}

// The answer's exact text.
std::string dumped(const Answer& result) {
  if (!result.ok()) return "error " + std::to_string(result.error()->code) + " " + result.error()->message;
  return result.text;
}

std::vector<std::string> entries(const Answer& result) {
  std::vector<std::string> out;
  const json value = json::parse(dumped(result));
  EXPECT_TRUE(value.is_array()) << value.dump();
  for (const json& location : value) out.push_back(entry(location));
  return out;
}

TEST(References, WorkedExampleWithAndWithoutTheDeclaration) {
  ServerState state;
  open_document(state, "file:///a.zv", "let sayaç = 0\nsayaç = sayaç + 1\nyaz(sayaç)");
  const std::vector<std::string> uses = {"file:///a.zv 1:0-5", "file:///a.zv 1:8-13", "file:///a.zv 2:4-9"};
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///a.zv", 2, 5, false), state)), uses);
  std::vector<std::string> with_declaration = uses;
  with_declaration.push_back("file:///a.zv 0:4-9");
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///a.zv", 2, 5, true), state)), with_declaration);

  // Exact form of one entry: sorted keys at every depth.
  EXPECT_EQ(dumped(answer_of(handle_references, reference_params("file:///a.zv", 1, 0, true), state)),
            R"([{"range":{"end":{"character":5,"line":1},"start":{"character":0,"line":1}},"uri":"file:///a.zv"},)"
            R"({"range":{"end":{"character":13,"line":1},"start":{"character":8,"line":1}},"uri":"file:///a.zv"},)"
            R"({"range":{"end":{"character":9,"line":2},"start":{"character":4,"line":2}},"uri":"file:///a.zv"},)"
            R"({"range":{"end":{"character":9,"line":0},"start":{"character":4,"line":0}},"uri":"file:///a.zv"}])");
}

TEST(References, LeavesOutOccurrencesRightAfterADeclarationKeyword) {
  struct Case {
    std::string_view text;
    uint32_t cursor;  // on an "x" of line 0
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"let x = 1", 4, {}},
      {"sabit x", 6, {}},
      {"struct x", 7, {}},
      {"yapı x", 5, {}},
      {"fonksiyon x(", 10, {}},
      {"function x(a)", 9, {}},
      {"değişken x", 9, {}},
      {"const  x", 7, {}},      // trailing white space goes before the test
      {"let\tx = 1", 4, {}},
      {"outlet x", 7, {}},      // no word boundary on the keyword
      {"let:x", 4, {"0:4-5"}},
      {"x2 = x + xx", 5, {"0:5-6"}},
      {"Let x", 4, {"0:4-5"}},  // case-sensitive
      {"y = x; let x = x", 4, {"0:4-5", "0:15-16"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ServerState state;
    open_document(state, "file:///a.zv", std::string(c.text));
    std::vector<std::string> expected;
    for (const std::string& range : c.expected) expected.push_back("file:///a.zv " + range);
    EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///a.zv", 0, c.cursor, false), state)), expected);
  }
}

TEST(References, AppendsTheDeclarationOfTheRequestedDocumentLast) {
  ServerState state;
  open_document(state, "file:///a.zv", "let xs = 1\nx + 1");
  // The declaration rule finds "x" inside "xs", though no list entry comes from that line.
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///a.zv", 1, 0, true), state)),
            (std::vector<std::string>{"file:///a.zv 1:0-1", "file:///a.zv 0:4-5"}));

  open_document(state, "file:///b.zv", "let x = 1");
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///b.zv", 0, 4, false), state)),
            (std::vector<std::string>{"file:///a.zv 1:0-1"}));
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///b.zv", 0, 4, true), state)),
            (std::vector<std::string>{"file:///a.zv 1:0-1", "file:///b.zv 0:4-5"}));

  open_document(state, "file:///c.zv", "let\tx = 1");
  EXPECT_EQ(entries(answer_of(handle_references, reference_params("file:///c.zv", 0, 4, true), state)),
            (std::vector<std::string>{"file:///a.zv 1:0-1"}));  // "let\tx" is no declaration form
}

TEST(References, GathersEveryOpenDocumentEachInLineOrder) {
  ServerState state;
  open_document(state, "file:///a.zv", "let çarp = 1\nçarp + çarp\r\n// çarp");
  open_document(state, "file:///b.zv", "a = çarp\n😀 çarp");
  open_document(state, "file:///c.zv", "çarpım çarp_");
  const Answer result = answer_of(handle_references, reference_params("file:///b.zv", 0, 6, true), state);
  // Documents come in no defined order; each one's entries in line order.
  std::map<std::string, std::vector<std::string>> by_document;
  for (const std::string& found : entries(result)) by_document[found.substr(0, found.find(' '))].push_back(found);
  const std::map<std::string, std::vector<std::string>> expected = {
      {"file:///a.zv", {"file:///a.zv 1:0-4", "file:///a.zv 1:7-11", "file:///a.zv 2:3-7"}},
      {"file:///b.zv", {"file:///b.zv 0:4-8", "file:///b.zv 1:3-7"}},
  };
  // Nothing is appended: "çarp" is declared in a.zv, not in the requested b.zv.
  EXPECT_EQ(by_document, expected);
}

TEST(References, NullWithoutADocumentOrAWordAndErrorsForBadParams) {
  ServerState state;
  open_document(state, "file:///a.zv", "(  )\nlet x = 1");
  const std::string invalid = "error -32600 Invalid references params";
  const std::pair<Params, std::string> cases[] = {
      {reference_params("file:///closed.zv", 0, 0, true), "null"},
      {reference_params("file:///a.zv", 0, 1, true), "null"},  // white space between non-word characters
      {reference_params("file:///a.zv", 1, 9, true), "null"},  // the end of the line
      {reference_params("file:///a.zv", 7, 0, true), "null"},
      {reference_params("file:///a.zv", 1, 4, false), "[]"},   // every occurrence left out
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":1,"character":4},)"
                   R"("context":[false]})"),
       "[]"},  // the context's positional form
      {std::nullopt, invalid},
      {json::parse(R"([{"uri":"file:///a.zv"},{"line":1,"character":4},{"includeDeclaration":true}])"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":1,"character":4}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":1,"character":4},"context":{}})"),
       invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":1,"character":4},)"
                   R"("context":{"includeDeclaration":1}})"),
       invalid},
      {json::parse(R"({"textDocument":{"uri":"::"},"position":{"line":1,"character":4},)"
                   R"("context":{"includeDeclaration":true}})"),
       invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":1,"character":-4},)"
                   R"("context":{"includeDeclaration":true}})"),
       invalid},
  };
  for (const auto& [params, expected] : cases) {
    SCOPED_TRACE(params ? params->dump() : "absent");
    EXPECT_EQ(dumped(answer_of(handle_references, params, state)), expected);
  }
  EXPECT_EQ(dumped(answer_of(handle_references, reference_params("file:///a.zv", 1, 4, true), state)),
            R"([{"range":{"end":{"character":5,"line":1},"start":{"character":4,"line":1}},"uri":"file:///a.zv"}])");
}

}  // namespace
}  // namespace zevo::lsp
