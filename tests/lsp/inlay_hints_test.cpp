#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/inlay_hints.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

constexpr uint32_t kAll = 4294967295u;

std::string hints_json(std::string_view text, uint32_t first = 0, uint32_t last = kAll) {
  std::string out = "[";
  for (const InlayHint& hint : compute_inlay_hints(text, first, last)) out += (out.size() > 1 ? "," : "") + written(hint);
  return out + "]";
}

std::string type_hint(uint32_t character, std::string_view type) {
  return R"({"kind":1,"label":": )" + std::string(type) + R"(","position":{"character":)" +
         std::to_string(character) + R"(,"line":0}})";
}

std::string parameter_hint(uint32_t character, std::string_view name) {
  return R"({"kind":2,"label":")" + std::string(name) + R"(: ","paddingRight":true,"position":{"character":)" +
         std::to_string(character) + R"(,"line":0}})";
}

std::string return_hint(uint32_t character) {
  return R"({"kind":1,"label":" -> void","paddingLeft":true,"position":{"character":)" + std::to_string(character) +
         R"(,"line":0}})";
}

std::string list(std::initializer_list<std::string> hints) {
  std::string out = "[";
  for (const std::string& h : hints) out += (out.size() > 1 ? "," : "") + h;
  return out + "]";
}

TEST(InlayHints, ValueTypes) {
  struct Case {
    std::string_view line;
    std::string hints;
  };
  const Case cases[] = {
      {"let x = 5", list({type_hint(5, "int")})},
      {"    let x = 5", list({type_hint(9, "int")})},
      {"değişken ad = \"Ali\"", list({type_hint(11, "string")})},
      {"let c = 'a'", list({type_hint(5, "string")})},
      {"let q = \"", list({type_hint(5, "string")})},
      {"sabit PI = 3.14", list({type_hint(8, "float")})},
      {"let h = .5", list({type_hint(5, "float")})},
      {"let h = 5.", list({type_hint(5, "float")})},
      {"const ok = yanlış", list({type_hint(8, "boolean")})},
      {"let t = true", list({type_hint(5, "boolean")})},
      {"let xs = [1, 2]", list({type_hint(6, "array")})},
      {"let m = {}", list({type_hint(5, "object")})},
      {"let s = oku()", list({type_hint(5, "string")})},
      {"let s = okul()", list({type_hint(5, "string")})},
      {"let s = read_line()", list({type_hint(5, "string")})},
      {"let n = uzunluk(s)", list({type_hint(5, "int"), parameter_hint(16, "str")})},
      {"let n = length(s);", list({type_hint(5, "int"), parameter_hint(15, "str")})},
      {"let r = hesapla()", "[]"},
      {"let x = 5;", list({type_hint(5, "int")})},
      {"let x = -7", list({type_hint(5, "int")})},
      {"let x = 5 ;", "[]"},
      {"let x = ;", "[]"},
      {"let x =", "[]"},
      {"let y: int = 5", "[]"},
      {"let = 5", "[]"},
      {"let x 5", "[]"},
      {"let x = 1e5", "[]"},
      {"let x = nan", "[]"},
      {"let x = 1.2.3", "[]"},
      {"let x = 99999999999999999999", "[]"},
      // "let" inside "tablet" names nothing; "değişken" then gives the hint.
      {"değişken tablet = 5", list({type_hint(15, "int")})},
      {"let a = 1 // const b = 2", list({type_hint(20, "int")})},
      {"let a = 1; const b = 'x'", list({type_hint(18, "string")})},
      {"let ğü = 1", list({type_hint(6, "int")})},
      {"let 😀 = 1", list({type_hint(6, "int")})},
  };
  for (const Case& c : cases) EXPECT_EQ(hints_json(c.line), c.hints) << c.line;
}

TEST(InlayHints, ParameterNames) {
  struct Case {
    std::string_view line;
    std::string hints;
  };
  const Case cases[] = {
      {"x = max(a, b)", list({parameter_hint(8, "a"), parameter_hint(11, "b")})},
      {"yazdır(\"merhaba\")", list({parameter_hint(7, "mesaj")})},
      {"pow(2)", list({parameter_hint(4, "taban")})},
      {"max(1, 2, 3)", list({parameter_hint(4, "a"), parameter_hint(7, "b")})},
      {"max(a, a)", list({parameter_hint(4, "a"), parameter_hint(7, "b")})},
      {"max(, b)", list({parameter_hint(6, "a")})},
      {"max()", "[]"},
      {"substr(s, 0, 2)", list({parameter_hint(7, "str"), parameter_hint(10, "başlangıç"), parameter_hint(13, "uzunluk")})},
      {"değiştir(s, 😀, y)", list({parameter_hint(9, "str"), parameter_hint(12, "eski"), parameter_hint(16, "yeni")})},
      {"  max (a)", list({parameter_hint(7, "a")})},
      {"max(min(a, b), c)", list({parameter_hint(4, "a"), parameter_hint(11, "b")})},
      {"fonksiyon max(a, b)", list({parameter_hint(14, "a"), parameter_hint(17, "b")})},
      {"x=max(a, b)", "[]"},
      {"obj.len(s)", "[]"},
      {"Max(a, b)", "[]"},
      {"(a, b)", "[]"},
      {") max(a, b)", "[]"},
      {"max(a, b", "[]"},
  };
  for (const Case& c : cases) EXPECT_EQ(hints_json(c.line), c.hints) << c.line;
}

TEST(InlayHints, ReturnTypes) {
  struct Case {
    std::string_view line;
    std::string hints;
  };
  const Case cases[] = {
      {"fonksiyon topla(a, b) {", list({return_hint(22)})},
      {"fonksiyon topla(a, b) -> int {", "[]"},
      {"    fonksiyon f() {", list({return_hint(18)})},
      {"fonksiyon f()", "[]"},
      {"defn x {", list({return_hint(7)})},
      // Two keywords give two equal hints.
      {"function fn() {", list({return_hint(14), return_hint(14)})},
  };
  for (const Case& c : cases) EXPECT_EQ(hints_json(c.line), c.hints) << c.line;
}

TEST(InlayHints, PassesRunInOrderOnEveryLineOfTheRange) {
  // ")" before "(": no parameter names, but the line's other passes still run.
  EXPECT_EQ(hints_json(") fn max(a) { let x = 5"), list({type_hint(19, "int"), return_hint(12)}));
  EXPECT_EQ(hints_json("let n = uzunluk(s) {fn"),
            list({type_hint(5, "int"), parameter_hint(16, "str"), return_hint(19)}));

  const std::string text = "let a = 1\r\nlet b = 2\n\nlet c = 3\n";
  auto lines_of = [&](uint32_t first, uint32_t last) {
    std::vector<uint32_t> lines;
    for (const InlayHint& h : compute_inlay_hints(text, first, last)) lines.push_back(h.position.line);
    return lines;
  };
  EXPECT_EQ(lines_of(0, kAll), (std::vector<uint32_t>{0, 1, 3}));
  EXPECT_EQ(lines_of(1, 1), (std::vector<uint32_t>{1}));
  EXPECT_EQ(lines_of(1, 3), (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(lines_of(2, 1), (std::vector<uint32_t>{}));
  EXPECT_EQ(lines_of(4, kAll), (std::vector<uint32_t>{}));
  EXPECT_EQ(hints_json(""), "[]");
}

TEST(BuiltinParameterNames, SixtyFiveDistinctFunctions) {
  std::vector<std::string_view> names;
  for (const BuiltinParameters& row : BUILTIN_PARAMETER_NAMES) {
    for (std::string_view f : row.functions) {
      if (!f.empty()) names.push_back(f);
    }
  }
  EXPECT_EQ(names.size(), 65u);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  EXPECT_EQ(std::vector<std::string_view>(builtin_parameter_names("üs").begin(), builtin_parameter_names("üs").end()),
            (std::vector<std::string_view>{"taban", "üs"}));
  EXPECT_TRUE(builtin_parameter_names("").empty());
  EXPECT_TRUE(builtin_parameter_names("LEN").empty());
}

DocumentsSnapshot snapshot_of(std::string uri, std::string text) {
  DocumentsSnapshot snapshot;
  snapshot.add(std::move(uri), std::make_shared<const std::string>(std::move(text)));
  return snapshot;
}

json request(json uri, json range = json()) {
  json params = {{"textDocument", {{"uri", std::move(uri)}}}};
  if (!range.is_null()) params["range"] = std::move(range);
  return params;
}

json line_range(json start, json end) {
  return {{"start", {{"line", std::move(start)}, {"character", 0}}}, {"end", {{"line", std::move(end)}, {"character", 0}}}};
}

TEST(HandleInlayHint, Failures) {
  const DocumentsSnapshot snapshot = snapshot_of("file:///a.zv", "let x = 5\n");
  struct Case {
    json params;
    std::string error;
  };
  const Case cases[] = {
      {json(), "Missing textDocument.uri"},
      {json::array(), "Missing textDocument.uri"},
      {json{{"textDocument", json::object()}}, "Missing textDocument.uri"},
      {request(5), "Missing textDocument.uri"},
      {request("file:///b.zv"), "Document not found"},
      {request("file:///a%2Ezv"), "Document not found"},
  };
  for (const Case& c : cases) {
    const auto result = answer_of(handle_inlay_hint, c.params, snapshot);
    ASSERT_FALSE(result.ok()) << c.params.dump();
    EXPECT_EQ(result.error()->code, kInternalError);
    EXPECT_EQ(result.error()->message, "Inlay hints error: " + c.error) << c.params.dump();
  }
}

TEST(HandleInlayHint, RangeLines) {
  const DocumentsSnapshot snapshot = snapshot_of("file:///a.zv", "let a = 1\nlet b = 2\nlet c = 3");
  auto lines_of = [&](json params) {
    std::vector<uint64_t> lines;
    const auto result = answer_of(handle_inlay_hint, params, snapshot);
    EXPECT_TRUE(result.ok()) << params.dump();
    if (result.ok()) {
      for (const json& hint : json::parse(result.text)) lines.push_back(hint["position"]["line"].get<uint64_t>());
    }
    return lines;
  };
  const std::vector<uint64_t> all = {0, 1, 2};
  EXPECT_EQ(lines_of(request("file:///a.zv")), all);
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(1u, 1u))), (std::vector<uint64_t>{1}));
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(2u, 0u))), (std::vector<uint64_t>{}));
  // Anything but a non-negative integer falls back to the whole document's bound.
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(-1, 1.0))), all);
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range("1", nullptr))), all);
  EXPECT_EQ(lines_of(request("file:///a.zv", "0-1")), all);
  // A line above the 32-bit range stands for the last possible line, not a wrapped one.
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(1u, 4294967296u + 1))), (std::vector<uint64_t>{1, 2}));
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(4294967296u, 4294967296u + 2))), (std::vector<uint64_t>{}));
  EXPECT_EQ(lines_of(request("file:///a.zv", line_range(int64_t{1}, int64_t{1}))), (std::vector<uint64_t>{1}));
}

TEST(HandleInlayHint, JsonArrayOfHints) {
  const auto result = answer_of(handle_inlay_hint, request("file:///a.zv"), snapshot_of("file:///a.zv", "yaz(x)\nfn f() {"));
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.text,
            R"([{"kind":2,"label":"mesaj: ","paddingRight":true,"position":{"character":4,"line":0}},)"
            R"({"kind":1,"label":" -> void","paddingLeft":true,"position":{"character":7,"line":1}}])");
}

}  // namespace
}  // namespace zevo::lsp
