#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/signature.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

std::vector<std::string> labels_of(const std::vector<ParameterInformation>& parameters) {
  std::vector<std::string> labels;
  for (const auto& p : parameters) labels.push_back(p.label);
  return labels;
}

TEST(CalleeAtCursor, FindsTheOpenParenthesisAndCountsCommas) {
  struct Case {
    std::string_view line;
    std::size_t offset;  // bytes; npos: the end of the line
    std::optional<std::string_view> name;
    std::size_t active = 0;
  };
  constexpr std::size_t end = std::string_view::npos;
  const Case cases[] = {
      {"yazdır(", end, "yazdır", 0},
      {"pow(2, ", end, "pow", 1},
      {"pow(1, 2, 3", end, "pow", 2},  // not limited to the signature's parameters
      {"pow(sqrt(x), y", end, "pow", 1},
      {"pow(sqrt(x), y", 10, "sqrt", 0},  // right after "x"
      {"pow(a[1, 2], ", end, "pow", 2},   // brackets do not nest
      {"f(\"a,b\", ", end, "f", 2},       // nor do strings
      {"f(g(1, 2), h(3, 4), ", end, "f", 2},
      {"x = topla (a", end, "topla", 0},
      {"nesne.metot(", end, "metot", 0},
      {"  ölçüm\u00A0(", end, "ölçüm", 0},  // a no-break space is white space
      {"a[0](", end, std::nullopt},
      {"x = (", end, std::nullopt},
      {"(", end, std::nullopt},  // found at the line's start, nothing before it
      {"f(x)", end, std::nullopt},
      {"no call here", end, std::nullopt},
      {"f(a, b)", 4, "f", 1},  // the cursor inside the call
      {"f(a", 1, std::nullopt},  // the cursor before the parenthesis
  };
  for (const auto& c : cases) {
    const std::size_t offset = c.offset == end ? c.line.size() : c.offset;
    const auto callee = callee_at_cursor(c.line, offset);
    if (!c.name) {
      EXPECT_FALSE(callee) << "«" << c.line << "» at " << offset;
      continue;
    }
    ASSERT_TRUE(callee) << "«" << c.line << "» at " << offset;
    EXPECT_EQ(callee->name, *c.name) << c.line;
    EXPECT_EQ(callee->active_parameter, c.active) << c.line;
  }
}

TEST(ParameterLabels, SplitsAtCommasAndNormalisesOneColon) {
  struct Case {
    std::string_view text;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {"a : tamsayı, b:ondalık", {"a: tamsayı", "b: ondalık"}},
      {" x ", {"x"}},
      {"a:", {"a: "}},
      {"m: a: b", {"m: a: b"}},
      {"a, , b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"t: Map<K, V>", {"t: Map<K", "V>"}},  // no nesting
      {"\u00A0p\u00A0:\u00A0int ", {"p: int"}},
  };
  for (const auto& c : cases) EXPECT_EQ(labels_of(parameter_labels(c.text)), c.labels) << "«" << c.text << "»";
}

TEST(FindUserSignature, DeclaringLineRules) {
  enum class Outcome { not_declared, incomplete, found };
  struct Case {
    std::string_view text;
    std::string_view name;
    Outcome outcome;
    std::string_view label = {};
    std::vector<std::string> parameters = {};
  };
  const Case cases[] = {
      {"fonksiyon topla(a: tamsayı, b: tamsayı) -> tamsayı {\ntopla(1, ", "topla", Outcome::found,
       "topla(a: tamsayı, b: tamsayı) -> tamsayı", {"a: tamsayı", "b: tamsayı"}},
      {"function f()", "f", Outcome::found, "f()"},
      {"fonksiyon f( )", "f", Outcome::found, "f( )"},
      {"fonksiyon f(a) ->", "f", Outcome::found, "f(a)", {"a"}},
      {"fonksiyon f(a) ->   ", "f", Outcome::found, "f(a)", {"a"}},
      {"fonksiyon f(a) -> tamsayı {", "f", Outcome::found, "f(a) -> tamsayı", {"a"}},
      // The first "->" anywhere, and its first word up to white space.
      {"x -> y; fonksiyon f(a)", "f", Outcome::found, "f(a) -> y;", {"a"}},
      {"fonksiyon f(a) -> int\r\nf(", "f", Outcome::found, "f(a) -> int", {"a"}},
      {"fonksiyon f(a: b: c,  d )", "f", Outcome::found, "f(a: b: c,  d )", {"a: b: c", "d"}},
      {"// function foo is old\nfonksiyon foo(a)", "foo", Outcome::incomplete},
      {"fonksiyon toplam(a)", "top", Outcome::found, "top(a)", {"a"}},  // no word boundary
      // The name "f" is found first inside "fonksiyon" itself.
      {"fonksiyon g(a)\nfonksiyon f(b)", "f", Outcome::found, "f(a)", {"a"}},
      {"FONKSIYON f(a)", "f", Outcome::found, "f(a)", {"a"}},
      {"Function f(a)", "f", Outcome::found, "f(a)", {"a"}},
      {"dysfunctional f(a)", "f", Outcome::found, "f(a)", {"a"}},
      {"fUnCtIoN f(a)", "f", Outcome::found, "f(a)", {"a"}},
      {"FON\u212ASIYON g(a)", "g", Outcome::found, "g(a)", {"a"}},  // the Kelvin sign lower-cases to "k"
      // Lower-casing "İ" gives "i" and a combining dot.
      {"FONKSİYON f(a)", "f", Outcome::not_declared},
      {"f(a)\nfonksiyon g(b)", "f", Outcome::found, "f(b)", {"b"}},  // "f" of "fonksiyon"
      {"fonksiyon g(b)", "h", Outcome::not_declared},
      {"fonksiyon f", "f", Outcome::incomplete},
      {"fonksiyon f(a", "f", Outcome::incomplete},
      {"fonksiyon f)(", "f", Outcome::incomplete},  // no ")" after the "("
      {"", "f", Outcome::not_declared},
  };
  for (const auto& c : cases) {
    const UserSignature result = find_user_signature(c.text, c.name);
    const std::string where = "«" + std::string(c.text) + "» " + std::string(c.name);
    switch (c.outcome) {
      case Outcome::not_declared:
        EXPECT_TRUE(std::holds_alternative<NotDeclared>(result)) << where;
        break;
      case Outcome::incomplete:
        EXPECT_TRUE(std::holds_alternative<IncompleteDeclaration>(result)) << where;
        break;
      case Outcome::found: {
        const auto* signature = std::get_if<SignatureInformation>(&result);
        ASSERT_NE(signature, nullptr) << where;
        EXPECT_EQ(signature->label, c.label) << where;
        EXPECT_EQ(labels_of(signature->parameters), c.parameters) << where;
        EXPECT_EQ(signature->documentation, "Function: " + std::string(c.name)) << where;
        break;
      }
    }
  }
}

TEST(BuiltinSignature, ThirteenNamesReachTenRows) {
  struct Case {
    std::string_view name;
    std::string_view label;
    std::vector<std::string> parameters;
    std::string_view documentation;
  };
  const Case cases[] = {
      {"yaz", "yazdır(mesaj: metin)", {"mesaj: metin"}, "Ekrana metin yazdırır"},
      {"yazdır", "yazdır(mesaj: metin)", {"mesaj: metin"}, "Ekrana metin yazdırır"},
      {"oku", "oku() -> metin", {}, "Kullanıcıdan girdi okur"},
      {"print", "print(message: string)", {"message: string"}, "Prints text to console"},
      {"println", "print(message: string)", {"message: string"}, "Prints text to console"},
      {"read", "read() -> string", {}, "Reads input from user"},
      {"karekök", "karekök(sayı: kesir) -> kesir", {"sayı: kesir"}, "Karekök hesaplar"},
      {"üs", "üs(taban: kesir, kuvvet: kesir) -> kesir", {"taban: kesir", "kuvvet: kesir"}, "Üs alma işlemi"},
      {"sqrt", "sqrt(number: float) -> float", {"number: float"}, "Calculates square root"},
      {"pow", "pow(base: float, exponent: float) -> float", {"base: float", "exponent: float"}, "Power operation"},
      {"uzunluk", "uzunluk(metin: metin) -> tamsayı", {"metin: metin"}, "Metin uzunluğunu döndürür"},
      {"len", "length(text: string) -> integer", {"text: string"}, "Returns string length"},
      {"length", "length(text: string) -> integer", {"text: string"}, "Returns string length"},
  };
  for (const auto& c : cases) {
    const auto signature = builtin_signature(c.name);
    ASSERT_TRUE(signature) << c.name;
    EXPECT_EQ(signature->label, c.label);
    EXPECT_EQ(labels_of(signature->parameters), c.parameters) << c.name;
    EXPECT_EQ(signature->documentation, c.documentation);
  }
  for (std::string_view name : {"Pow", "POW", "yazd", "abs", ""}) EXPECT_FALSE(builtin_signature(name)) << name;
}

class HandleSignatureHelp : public ::testing::Test {
 protected:
  void open(std::string uri, std::string text) {
    snapshot_.add(std::move(uri), std::make_shared<const std::string>(std::move(text)));
  }
  json help(const json& params) const {
    const Answer result = answer_of(handle_signature_help, params, snapshot_);
    EXPECT_TRUE(result.ok());
    return result.ok() ? json::parse(result.text) : json("not a value");
  }
  static json at(std::string_view uri, json line, json character) {
    return json{{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
  }

  DocumentsSnapshot snapshot_;
};

TEST_F(HandleSignatureHelp, PowExampleAndColumns) {
  open("file:///a.zv", "x\npow(2, \npow(😀");
  const json expected = json::parse(
      R"j({"activeParameter":1,"activeSignature":0,"signatures":[{"documentation":"Power operation",)j"
      R"j("label":"pow(base: float, exponent: float) -> float","parameters":[{"label":"base: float"},)j"
      R"j({"label":"exponent: float"}]}]})j");
  EXPECT_EQ(help(at("file:///a.zv", 1, 7)), expected);
  EXPECT_EQ(help(at("file:///a.zv", 1, 500)), expected);  // past the end: the end
  EXPECT_EQ(help(at("file:///a.zv", 1, 4))["activeParameter"], 0);
  // Between the two units of the emoji: a boundary of it, the call either way.
  EXPECT_EQ(help(at("file:///a.zv", 2, 5))["activeParameter"], 0);
}

TEST_F(HandleSignatureHelp, DocumentDeclarationsComeFirst) {
  open("file:///u.zv", "fonksiyon yazdır(x)\nyazdır(");
  open("file:///c.zv", "// function pow is old\npow(");
  const json user = help(at("file:///u.zv", 1, 7));
  EXPECT_EQ(user["signatures"], json::parse(R"j([{"documentation":"Function: yazdır","label":"yazdır(x)",)j"
                                            R"j("parameters":[{"label":"x"}]}])j"));
  // An incomplete declaring line hides the built-in.
  EXPECT_EQ(help(at("file:///c.zv", 1, 4)), json(nullptr));
}

TEST_F(HandleSignatureHelp, EveryUnmetConditionIsNull) {
  open("file:///a.zv", "pow(\nf(x)\n1 + (");
  const json cases[] = {
      json(nullptr),
      json::array({1, 2}),
      json{{"position", {{"line", 0}, {"character", 4}}}},  // no uri
      at("FILE:///a.zv", 0, 4),                            // another spelling of the uri
      at("file:///b.zv", 0, 4),                            // not open
      json{{"textDocument", {{"uri", 7}}}, {"position", {{"line", 0}, {"character", 4}}}},
      at("file:///a.zv", -1, 4),
      at("file:///a.zv", 0, -1),
      at("file:///a.zv", 0.0, 4),
      at("file:///a.zv", 0, 4.0),
      at("file:///a.zv", "0", 4),
      at("file:///a.zv", nullptr, 4),
      at("file:///a.zv", 3, 0),  // no such line
      at("file:///a.zv", 0, 0),  // nothing before the cursor
      at("file:///a.zv", 1, 4),  // the call is closed
      at("file:///a.zv", 2, 5),  // no name before "("
      json{{"textDocument", {{"uri", "file:///a.zv"}}}, {"position", {{"line", 0}}}},
  };
  for (const auto& params : cases) EXPECT_EQ(help(params), json(nullptr)) << params.dump();
}

TEST_F(HandleSignatureHelp, UnknownNameIsNull) {
  open("file:///a.zv", "topla(1, ");
  EXPECT_EQ(help(at("file:///a.zv", 0, 9)), json(nullptr));
}

}  // namespace
}  // namespace zevo::lsp
