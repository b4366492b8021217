#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/symbols.hpp"
#include "support/answer.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

TEST(SymbolCharHelpers, CountScalarValuesNotBytes) {
  // "ğ" is two bytes, the emoji four bytes and two UTF-16 units: each is one character.
  const std::string_view text = "ağ😀b";
  EXPECT_EQ(skip_chars(text, 0), text);
  EXPECT_EQ(skip_chars(text, 2), "😀b");
  EXPECT_EQ(skip_chars(text, 4), "");
  EXPECT_EQ(skip_chars(text, 9), "");

  EXPECT_EQ(char_index_of(text, U'😀'), 2u);
  EXPECT_EQ(char_index_of(text, U'b'), 3u);
  EXPECT_EQ(char_index_of("abab", U'b'), 1u);
  EXPECT_EQ(char_index_of(text, U'x'), std::nullopt);

  EXPECT_EQ(substring_chars(text, 1, 3), "ğ😀");
  EXPECT_EQ(substring_chars(text, 2, 99), "😀b");
  EXPECT_EQ(substring_chars(text, 3, 3), "");
  EXPECT_EQ(substring_chars(text, 3, 1), "");
  EXPECT_EQ(substring_chars(text, 4, 9), "");
}

struct Expected {
  std::string name;
  std::string detail;
  uint8_t kind;
  Range range;
  Range selection;
};

Range on_line(uint32_t line, uint32_t start, uint32_t end) { return {{line, start}, {line, end}}; }

TEST(DocumentSymbols, RulesPerLine) {
  struct Case {
    std::string_view line;
    std::vector<Expected> symbols;
  };
  const Case cases[] = {
      {"fonksiyon topla(a, b) -> tamsayı {",
       {{"topla", "topla(a, b) -> tamsayı", kSymbolFunction, on_line(0, 0, 34), on_line(0, 10, 15)}}},
      {"fonksiyon ana()", {{"ana", "ana()", kSymbolFunction, on_line(0, 0, 15), on_line(0, 10, 13)}}},
      {"function f(a) ->", {}},
      {"function f(a) ->   ", {}},
      {"function f(a) -> int{", {{"f", "f(a) -> int{", kSymbolFunction, on_line(0, 0, 21), on_line(0, 9, 10)}}},
      {"işlev kare(x) -> sayı", {{"kare", "kare(x) -> sayı", kSymbolFunction, on_line(0, 0, 21), on_line(0, 6, 10)}}},
      // The keyword is found in the lower-cased line, the name in the line itself.
      {"FONKSIYON Topla(x)", {{"Topla", "Topla(x)", kSymbolFunction, on_line(0, 0, 18), on_line(0, 10, 15)}}},
      // A ")" before the "(" leaves the parameter text empty.
      {"fonksiyon f)x(", {{"f)x", "f)x()", kSymbolFunction, on_line(0, 0, 14), on_line(0, 10, 13)}}},
      {"fonksiyon (a)", {}},
      {"fonksiyon f(a", {}},
      {"    let x: tamsayı = 5",
       {{"x", "x: tamsayı", kSymbolVariable, on_line(0, 0, 22), on_line(0, 8, 9)}}},
      {"let e = 1", {{"e", "e", kSymbolVariable, on_line(0, 0, 9), on_line(0, 4, 5)}}},
      {"sabit PI = 3.14", {{"PI", "PI", kSymbolConstant, on_line(0, 0, 15), on_line(0, 6, 8)}}},
      {"const x:= 1", {{"x", "x: ", kSymbolConstant, on_line(0, 0, 11), on_line(0, 6, 7)}}},
      {"let x = a:b", {{"x = a", "x = a: b", kSymbolVariable, on_line(0, 0, 11), on_line(0, 4, 9)}}},
      {"değişken sayaç", {{"sayaç", "sayaç", kSymbolVariable, on_line(0, 0, 14), on_line(0, 9, 14)}}},
      {"DEGISKEN Ad: metin", {{"Ad", "Ad: metin", kSymbolVariable, on_line(0, 0, 18), on_line(0, 9, 11)}}},
      {"izin y = 2", {{"y", "y", kSymbolVariable, on_line(0, 0, 10), on_line(0, 5, 6)}}},
      // Only "let " and "const " need a blank after the word.
      {"sabitler = 5", {{"ler", "ler", kSymbolConstant, on_line(0, 0, 12), on_line(0, 5, 8)}}},
      {"letter = 5", {}},
      {"let", {}},
      {"let = 5", {}},
      {"struct {", {}},
      {"yapı Nokta {", {{"Nokta", "struct Nokta", kSymbolStruct, on_line(0, 0, 12), on_line(0, 5, 10)}}},
      {"tip Sayı = tamsayı", {{"Sayı", "struct Sayı", kSymbolStruct, on_line(0, 0, 18), on_line(0, 4, 8)}}},
      {"structure Foo {", {{"ure Foo", "struct ure Foo", kSymbolStruct, on_line(0, 0, 15), on_line(0, 6, 13)}}},
      {"type Id", {{"Id", "struct Id", kSymbolStruct, on_line(0, 0, 7), on_line(0, 5, 7)}}},
      {"let f = fonksiyon g(a)",
       {{"g", "g(a)", kSymbolFunction, on_line(0, 0, 22), on_line(0, 18, 19)},
        {"f", "f", kSymbolVariable, on_line(0, 0, 22), on_line(0, 4, 5)}}},
      {"yazdır('bir fonksiyon')", {}},
      {"/* eski */ let x = 1", {}},
      {"   // fonksiyon f()", {}},
      {"x = 1 // let y", {}},
      {"değişken ğ = 1", {{"ğ", "ğ", kSymbolVariable, on_line(0, 0, 14), on_line(0, 9, 10)}}},
      {"fonksiyon f() // 😀", {{"f", "f()", kSymbolFunction, on_line(0, 0, 19), on_line(0, 10, 11)}}},
      {"let 😀x = 1", {{"😀x", "😀x", kSymbolVariable, on_line(0, 0, 11), on_line(0, 4, 7)}}},
      // The selection covers the name whatever white space stands before it.
      {"fonksiyon   topla()", {{"topla", "topla()", kSymbolFunction, on_line(0, 0, 19), on_line(0, 12, 17)}}},
      {"fonksiyontopla()", {{"topla", "topla()", kSymbolFunction, on_line(0, 0, 16), on_line(0, 9, 14)}}},
      // "İ" lower-cases to two characters; the name is still found after the keyword.
      {"İİ fonksiyon f()", {{"f", "f()", kSymbolFunction, on_line(0, 0, 16), on_line(0, 13, 14)}}},
      // Capitals beyond ASCII lower-case where they stand, in the line and in its start.
      {"IŞLEV Büyük(x)", {{"Büyük", "Büyük(x)", kSymbolFunction, on_line(0, 0, 14), on_line(0, 6, 11)}}},
      {"DEĞIŞKEN b: Tamsayı = 2", {{"b", "b: Tamsayı", kSymbolVariable, on_line(0, 0, 23), on_line(0, 9, 10)}}},
      {"sabit ÖLÇEK = 3.3", {{"ÖLÇEK", "ÖLÇEK", kSymbolConstant, on_line(0, 0, 17), on_line(0, 6, 11)}}},
      // "İ" gives "i" and U+0307, which no keyword has after its "i"; the
      // Kelvin sign gives "k", one byte for three.
      {"İŞLEV f()", {}},
      {"YAPİ Nokta {", {{"Nokta", "struct Nokta", kSymbolStruct, on_line(0, 0, 12), on_line(0, 5, 10)}}},
      {"fon\u212Asiyon f()", {{"f", "f()", kSymbolFunction, on_line(0, 0, 13), on_line(0, 10, 11)}}},
      {"deği\u015f\u212Aen k = 2", {{"k", "k", kSymbolVariable, on_line(0, 0, 14), on_line(0, 9, 10)}}},
      {"FUNCTION F(a)", {{"F", "F(a)", kSymbolFunction, on_line(0, 0, 13), on_line(0, 9, 10)}}},
      // Quotes elsewhere in the line leave the name and the detail plain.
      {"let x = \"a\" // 😀 \"q\"", {{"x", "x", kSymbolVariable, on_line(0, 0, 21), on_line(0, 4, 5)}}},
      // A byte that begins no character counts as one.
      {"let a\xFF" "b = 1", {{"a\xFF" "b", "a\xFF" "b", kSymbolVariable, on_line(0, 0, 11), on_line(0, 4, 7)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line));
    const std::vector<SymbolRecord> got = document_symbols(c.line);
    ASSERT_EQ(got.size(), c.symbols.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].name, c.symbols[i].name);
      EXPECT_EQ(got[i].detail, c.symbols[i].detail);
      EXPECT_EQ(got[i].kind, c.symbols[i].kind);
      EXPECT_EQ(got[i].range, c.symbols[i].range);
      EXPECT_EQ(got[i].selection_range, c.symbols[i].selection);
    }
  }
}

// The scan lower-cases only the lines holding a letter pair of a keyword
// ("fo", "fu", "ev", or a prefix's first two letters) in either case. That
// holds while no character beyond ASCII lower-cases to ASCII letters but "İ"
// (to "i" and U+0307) and the Kelvin sign (to "k").
TEST(DocumentSymbols, OnlyTwoCharactersLowerCaseIntoAscii) {
  std::vector<char32_t> into_ascii;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string ch;
    text::append_utf8(ch, c);
    for (const char byte : text::to_lower(ch)) {
      if (static_cast<unsigned char>(byte) < 0x80) {
        into_ascii.push_back(c);
        break;
      }
    }
  }
  EXPECT_EQ(into_ascii, (std::vector<char32_t>{U'\u0130', U'\u212A'}));
}

TEST(DocumentSymbols, LinesAreNumberedAsSplitLinesCountsThem) {
  const std::string text = "// yorum\r\nyapı Nokta {\r\n\r\n  sabit MAX = 10\nfonksiyon ana() {\n";
  const std::vector<SymbolRecord> got = document_symbols(text);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].name, "Nokta");
  EXPECT_EQ(got[0].range, on_line(1, 0, 12));  // the "\r" is no part of the line
  EXPECT_EQ(got[1].name, "MAX");
  EXPECT_EQ(got[1].selection_range, on_line(3, 8, 11));
  EXPECT_EQ(got[2].name, "ana");
  EXPECT_EQ(got[2].range.start.line, 4u);

  // In a text that is not all well-formed, the well-formed lines count as ever.
  const std::vector<SymbolRecord> mixed = document_symbols("\xFF\nlet é = 1\n");
  ASSERT_EQ(mixed.size(), 1u);
  EXPECT_EQ(mixed[0].range, on_line(1, 0, 9));
  EXPECT_EQ(mixed[0].selection_range, on_line(1, 4, 5));

  EXPECT_TRUE(document_symbols("").empty());
  EXPECT_TRUE(document_symbols("// a\n/* b */\n").empty());
}

TEST(DocumentSymbols, JsonForm) {
  const auto got = document_symbols("fonksiyon topla(a, b) -> tamsayı {");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(written(got[0]),
            R"({"detail":"topla(a, b) -> tamsayı","kind":12,"name":"topla",)"
            R"("range":{"end":{"character":34,"line":0},"start":{"character":0,"line":0}},)"
            R"("selectionRange":{"end":{"character":15,"line":0},"start":{"character":10,"line":0}}})");
}

DocumentsSnapshot snapshot_of(std::string uri, std::string text) {
  DocumentsSnapshot snapshot;
  snapshot.add(std::move(uri), std::make_shared<const std::string>(std::move(text)));
  return snapshot;
}

// The result as the server writes it.
std::string result_text(const Answer& result) {
  if (result.ok()) return result.text;
  return "error";
}

TEST(HandleDocumentSymbol, NullUnlessTheDocumentIsOpen) {
  // A name with quotation marks goes through the writer's escaping.
  const DocumentsSnapshot snapshot = snapshot_of("file:///a.zv", "let x = 1\ntype \"Ad\"\n");
  const json not_found[] = {
      json(),
      json::array({1, 2}),
      json{{"textDocument", {{"uri", 5}}}},
      json{{"textDocument", "file:///a.zv"}},
      json{{"textDocument", {{"uri", "file:///b.zv"}}}},
      // Looked up as sent: another spelling of the same URI is not found.
      json{{"textDocument", {{"uri", "file:///a%2Ezv"}}}},
  };
  for (const json& params : not_found) EXPECT_EQ(result_text(answer_of(handle_document_symbol, params, snapshot)), "null") << params.dump();

  EXPECT_EQ(result_text(answer_of(handle_document_symbol, json{{"textDocument", {{"uri", "file:///e.zv"}}}},
                                               snapshot_of("file:///e.zv", "// yalnız yorum\n"))),
            "[]");
  EXPECT_EQ(result_text(answer_of(handle_document_symbol, json{{"textDocument", {{"uri", "file:///a.zv"}}}}, snapshot)),
            R"([{"detail":"x","kind":13,"name":"x",)"
            R"("range":{"end":{"character":9,"line":0},"start":{"character":0,"line":0}},)"
            R"("selectionRange":{"end":{"character":5,"line":0},"start":{"character":4,"line":0}}},)"
            R"({"detail":"struct \"Ad\"","kind":23,"name":"\"Ad\"",)"
            R"("range":{"end":{"character":9,"line":1},"start":{"character":0,"line":1}},)"
            R"("selectionRange":{"end":{"character":9,"line":1},"start":{"character":5,"line":1}}}])");
}

}  // namespace
}  // namespace zevo::lsp
