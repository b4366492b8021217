#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lsp/definition.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

Range on_line(uint32_t line, uint32_t start, uint32_t end) { return {{line, start}, {line, end}}; }

TEST(FindDeclaration, FirstLineWithAFormAndTheTableOrderWithinIt) {
  struct Case {
    std::string_view text;
    std::string_view word;
    std::optional<Range> expected;
  };
  const Case cases[] = {
      // "değişken " is 9 UTF-16 units though 11 bytes.
      {"x = 1\nsayı := 0\nlet a = 2\ndeğişken sayı = 5\n", "sayı", on_line(3, 9, 13)},
      {"let x = 5\n\n\n\ny = x + 1", "x", on_line(0, 4, 5)},
      {"let xs = 1", "x", on_line(0, 4, 5)},        // no word boundary
      {"outlet x", "x", on_line(0, 7, 8)},
      {"let x = 1; değişken x = 2", "x", on_line(0, 20, 21)},  // the table decides, not the position
      {"const x; let x", "x", on_line(0, 13, 14)},
      {"let x = 1; let x = 2", "x", on_line(0, 4, 5)},        // the first occurrence of the form
      {"fonksiyon topla(a, b)", "topla", on_line(0, 10, 15)},
      {"function topla(a, b)", "topla", on_line(0, 9, 14)},
      {"fonksiyon topla (a, b)", "topla", std::nullopt},
      {"function topla", "topla", std::nullopt},
      {"sabit PI = 3", "PI", on_line(0, 6, 8)},
      {"const PI = 3", "PI", on_line(0, 6, 8)},
      {"yapı Nokta {", "Nokta", on_line(0, 5, 10)},
      {"struct Nokta {", "Nokta", on_line(0, 7, 12)},
      {"Let x\nLET x", "x", std::nullopt},
      {"let\tx = 1", "x", std::nullopt},
      {"let  x = 1", "x", std::nullopt},
      {"let x = 1\nlet x = 2", "x", on_line(0, 4, 5)},
      {"a\r\nb\r\nlet çarp\r\n", "çarp", on_line(2, 4, 8)},
      {"😀 let 𝑥 = 1", "𝑥", on_line(0, 7, 9)},       // surrogate pairs before and in the word
      {"x = 1", "x", std::nullopt},
      {"", "x", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.word));
    EXPECT_EQ(find_declaration(c.word, c.text), c.expected);
  }
}

TEST(FindDefinition, LocatesInTheGivenUriEvenWhenTheTextDoesNotParse) {
  const auto found = find_definition("x", "}}} let x = = ( [\nfonksiyon (((\nx", "file:///a.zv");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->uri, "file:///a.zv");
  EXPECT_EQ(found->range, on_line(0, 8, 9));
  EXPECT_FALSE(find_definition("y", "let x = 1", "file:///a.zv").has_value());
}

json position_params(std::string_view uri, uint32_t line, uint32_t character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

std::string dumped(const Answer& result) {
  if (!result.ok()) return "error " + std::to_string(result.error()->code) + " " + result.error()->message;
  return result.text;
}

std::string location(std::string_view uri, uint32_t line, uint32_t start, uint32_t end) {
  return R"({"range":{"end":{"character":)" + std::to_string(end) + R"(,"line":)" + std::to_string(line) +
         R"(},"start":{"character":)" + std::to_string(start) + R"(,"line":)" + std::to_string(line) +
         R"(}},"uri":")" + std::string(uri) + R"("})";
}

TEST(Definition, AnswersTheDeclarationOfTheWordUnderTheCursor) {
  ServerState state;
  open_document(state, "file:///a.zv", "let x = 5\nx = y\n\n\ny = x + 1\nonly_elsewhere");
  open_document(state, "file:///b.zv", "let only_elsewhere = 1");
  open_document(state, "file:///empty.zv", "");
  open_document(state, "file:///nl.zv", "let x\n");
  struct Case {
    std::string_view uri;
    uint32_t line;
    uint32_t character;
    std::string expected;
  };
  const Case cases[] = {
      {"file:///a.zv", 4, 4, location("file:///a.zv", 0, 4, 5)},
      {"file:///a.zv", 4, 5, location("file:///a.zv", 0, 4, 5)},  // right after the word
      {"file:///a.zv", 0, 4, location("file:///a.zv", 0, 4, 5)},  // on the declaration itself
      {"file:///a.zv", 1, 0, location("file:///a.zv", 0, 4, 5)},  // the first character of a line
      {"file:///A.zv", 4, 4, "null"},                              // another, closed document
      {"FILE:///a.zv", 4, 4, location("file:///a.zv", 0, 4, 5)},  // answered with the serialised URI
      {"file:///a.zv", 1, 5, "null"},   // the end of the line, though "y" ends there
      {"file:///a.zv", 4, 0, "null"},   // "y" is never declared
      {"file:///a.zv", 4, 2, "null"},   // "= " holds no word
      {"file:///a.zv", 2, 0, "null"},   // an empty line
      {"file:///a.zv", 9, 0, "null"},
      {"file:///a.zv", 5, 3, "null"},   // declared only in another document
      {"file:///empty.zv", 0, 0, "null"},
      {"file:///nl.zv", 1, 0, "null"},  // no line after the final "\n"
      {"file:///closed.zv", 0, 0, "null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.uri) + " @" + std::to_string(c.line) + ":" + std::to_string(c.character));
    EXPECT_EQ(dumped(answer_of(handle_definition, position_params(c.uri, c.line, c.character), state)), c.expected);
  }
}

TEST(Definition, RefusesParamsThatDoNotDecode) {
  ServerState state;
  open_document(state, "file:///a.zv", "let x = 5");
  const std::string invalid = "error -32600 Invalid definition params";
  const std::pair<Params, std::string> cases[] = {
      {std::nullopt, invalid},
      {json::parse(R"([{"uri":"file:///a.zv"},{"line":0,"character":4}])"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"}})"), invalid},
      {json::parse(R"({"position":{"line":0,"character":4}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"a.zv"},"position":{"line":0,"character":4}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":-1,"character":4}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":4.0}})"), invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":4},"workDoneToken":{}})"),
       invalid},
      {json::parse(R"({"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":4},)"
                   R"("workDoneToken":7,"partialResultToken":"p"})"),
       location("file:///a.zv", 0, 4, 5)},
  };
  for (const auto& [params, expected] : cases) {
    SCOPED_TRACE(params ? params->dump() : "absent");
    EXPECT_EQ(dumped(answer_of(handle_definition, params, state)), expected);
  }
}

}  // namespace
}  // namespace zevo::lsp
