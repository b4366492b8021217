#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "json/json.hpp"
#include "lsp/completion.hpp"
#include "support/answer.hpp"

namespace zevo::lsp {
namespace {

std::vector<CompletionItem> catalogue() { return completion_items(CompletionParams{}); }

std::string wire(const CompletionItem& item) { return written(item); }

TEST(CompletionItems, OrderAndFamiliesOfTheThirteenGroups) {
  const auto items = catalogue();
  ASSERT_EQ(items.size(), 140u);

  struct Place {
    std::size_t number;  // counted from 1
    std::string_view label;
  };
  const Place places[] = {{1, "eğer"},    {11, "modül"},  {12, "if"},  {22, "module"}, {23, "tamsayı"},
                                {25, "bool"},   {29, "i8"},     {39, "bool"}, {41, "array"}, {42, "doğru"},
                                {45, "false"},  {46, "abs"},    {59, "max"},  {60, "asin"},  {86, "is_finite"},
                                {87, "now"},    {92, "random"}, {97, "trim"}, {115, "range"}, {133, "yazdır"},
                                {137, "read"},  {138, "pi"},    {140, "tau"}};
  for (const auto& p : places) EXPECT_EQ(items[p.number - 1].label, p.label) << "item " << p.number;

  struct Family {
    std::size_t first, last;  // counted from 1, inclusive
    int32_t kind;
    bool snippet;
  };
  const Family families[] = {{1, 22, 14, true}, {23, 41, 7, false}, {42, 45, 12, false},
                             {46, 137, 3, true}, {138, 140, 21, false}};
  for (const auto& f : families) {
    for (std::size_t n = f.first; n <= f.last; ++n) {
      const CompletionItem& item = items[n - 1];
      EXPECT_EQ(item.kind, f.kind) << item.label;
      ASSERT_TRUE(item.detail) << item.label;
      EXPECT_EQ(item.insert_text.has_value(), f.snippet) << item.label;
      EXPECT_EQ(item.insert_text_format, f.snippet ? std::optional<int32_t>(2) : std::nullopt) << item.label;
      EXPECT_EQ(item.documentation.has_value(), f.kind != 14 && f.kind != 12) << item.label;
    }
  }
}

TEST(CompletionItems, ExactWireFormOfSampleItems) {
  const auto items = catalogue();
  struct Case {
    std::size_t number;
    std::string_view text;
  };
  const Case cases[] = {
      {12, R"j({"detail":"if statement","insertText":"if ${1:condition} then\n  ${2}\nend","insertTextFormat":2,)j"
           R"j("kind":14,"label":"if"})j"},
      {138, R"j({"detail":"π = 3.14159...","documentation":{"kind":"markdown","value":"**Sabit**: `pi`\n\nDeğer: )j"
            R"j(`3.141592653589793`"},"kind":21,"label":"pi"})j"},
      {42, R"j({"detail":"true","kind":12,"label":"doğru"})j"},
      {23, R"j({"detail":"i32 integer","documentation":{"kind":"markdown","value":"**Tür**: `tamsayı`\n\ni32 integer"},)j"
           R"j("kind":7,"label":"tamsayı"})j"},
      {47, R"j({"detail":"Sinüs (radyan)","documentation":{"kind":"markdown","value":"**sin**\n\nSinüs (radyan)"},)j"
           R"j("insertText":"sin(${1:x})","insertTextFormat":2,"kind":3,"label":"sin"})j"},
      {133, R"j({"detail":"Konsola yazdır","documentation":{"kind":"markdown","value":"**yazdır** / **print**\n\n)j"
            R"j(Konsola yazdır"},"insertText":"yazdır(${1:value})","insertTextFormat":2,"kind":3,"label":"yazdır"})j"},
      {3, R"j({"detail":"for loop","insertText":"her biri ${1:item} içinde ${2:list}\n  ${3}\nson",)j"
          R"j("insertTextFormat":2,"kind":14,"label":"her biri"})j"},
  };
  for (const auto& c : cases) EXPECT_EQ(wire(items[c.number - 1]), c.text) << "item " << c.number;
}

TEST(CompletionItems, DocumentationTexts) {
  const auto items = catalogue();
  auto documentation_of = [&](std::string_view label, std::string_view detail) -> std::string {
    for (const auto& item : items) {
      if (item.label == label && item.detail == detail && item.documentation) return item.documentation->value;
    }
    return "<none>";
  };
  EXPECT_EQ(documentation_of("abs", "Mutlak değer / Absolute value"), "**abs** / **mutlak**\n\nMutlak değer / Absolute value");
  EXPECT_EQ(documentation_of("bool", "boolean (doğru/yanlış)"), "**Tür**: `bool`\n\nboolean (doğru/yanlış)");
  EXPECT_EQ(documentation_of("bool", "boolean (true/false)"), "**Tür**: `bool`\n\nboolean (true/false)");
  EXPECT_EQ(documentation_of("print", "Print to console"), "**print**\n\nPrint to console");
  EXPECT_EQ(documentation_of("tau", "τ = 2π = 6.28318..."), "**Sabit**: `tau`\n\nDeğer: `6.283185307179586`");
  EXPECT_EQ(documentation_of("e", "Euler sabiti = 2.71828..."), "**Sabit**: `e`\n\nDeğer: `2.718281828459045`");
}

TEST(CompletionItems, FunctionSnippetsNumberTheParameters) {
  const auto items = catalogue();
  struct Case {
    std::string_view label;
    std::string_view snippet;
  };
  const Case cases[] = {
      {"pow", "pow(${1:x}, ${2:y})"},
      {"clamp", "clamp(${1:x}, ${2:min}, ${3:max})"},
      {"now", "now()"},
      {"oku", "oku()"},
      {"replace", "replace(${1:str}, ${2:pattern}, ${3:replacement})"},
      {"to_radians", "to_radians(${1:degrees})"},
      {"zip", "zip(${1:array1}, ${2:array2})"},
  };
  for (const auto& c : cases) {
    bool found = false;
    for (const auto& item : items) {
      if (item.label != c.label) continue;
      found = true;
      EXPECT_EQ(item.insert_text, std::string(c.snippet));
    }
    EXPECT_TRUE(found) << c.label;
  }
  // Every call snippet is the label followed by a parenthesised list.
  for (std::size_t n = 46; n <= 137; ++n) {
    const auto& item = items[n - 1];
    ASSERT_TRUE(item.insert_text);
    EXPECT_EQ(item.insert_text->rfind(item.label + "(", 0), 0u) << item.label;
    EXPECT_EQ(item.insert_text->back(), ')') << item.label;
  }
}

TEST(CompletionItems, LabelsRepeatOnlyWhereTheCatalogueSaysSo) {
  std::multiset<std::string> labels;
  for (const auto& item : catalogue()) labels.insert(item.label);
  for (const auto& label : labels) {
    // "bool" is a Turkish and an English type word.
    EXPECT_EQ(labels.count(label), label == "bool" ? 2u : 1u) << label;
  }
}

TEST(CompletionBuilders, EmptyTextsAreKept) {
  EXPECT_EQ(wire(function_completion_item("f", "", "", "f()")),
            R"j({"detail":"","documentation":{"kind":"markdown","value":"**f**\n\n"},"insertText":"f()",)j"
            R"j("insertTextFormat":2,"kind":3,"label":"f"})j");
  EXPECT_EQ(wire(keyword_completion_item("", "", "")), R"j({"detail":"","insertText":"","insertTextFormat":2,"kind":14,"label":""})j");
  EXPECT_EQ(wire(constant_completion_item("c", "", "")),
            R"j({"detail":"","documentation":{"kind":"markdown","value":"**Sabit**: `c`\n\nDeğer: ``"},"kind":21,"label":"c"})j");
}

TEST(CompletionCatalogue, WrittenOnceAndIdenticalToTheItems) {
  const std::string_view first = completion_catalogue();
  EXPECT_EQ(first.data(), completion_catalogue().data());
  std::string items = "[";
  for (const CompletionItem& item : catalogue()) items += (items.size() > 1 ? "," : "") + wire(item);
  EXPECT_EQ(first, items + "]");
}

TEST(HandleCompletion, BadParametersAreInvalidRequest) {
  const ServerState state;
  const nlohmann::json document = {{"uri", "file:///a.zv"}};
  const nlohmann::json position = {{"line", 0}, {"character", 0}};
  const Params cases[] = {
      std::nullopt,
      nlohmann::json::array({document, position}),
      nlohmann::json{{"textDocument", document}},
      nlohmann::json{{"textDocument", document}, {"position", position}, {"context", nlohmann::json::object()}},
      nlohmann::json{{"textDocument", {{"uri", "a.zv"}}}, {"position", position}},
      nlohmann::json{{"textDocument", document}, {"position", {{"line", 1.0}, {"character", 0}}}},
      nlohmann::json{{"textDocument", document}, {"position", position}, {"workDoneToken", 2147483648u}},
  };
  for (const auto& params : cases) {
    const Answer result = answer_of(handle_completion, params, state);
    ASSERT_NE(result.error(), nullptr) << (params ? params->dump() : "absent");
    EXPECT_EQ(result.error()->code, -32600);
    EXPECT_EQ(result.error()->message, "Invalid completion params");
    EXPECT_FALSE(result.error()->data);
  }
}

TEST(HandleCompletion, EveryDecodableRequestGetsTheWholeCatalogue) {
  ServerState state;
  open_document(state, "file:///open.zv", "eğer x ise");
  const nlohmann::json position = {{"line", 3}, {"character", 99}};
  const Params cases[] = {
      nlohmann::json{{"textDocument", {{"uri", "file:///never-opened.zv"}}}, {"position", position}},
      nlohmann::json{{"textDocument", {{"uri", "file:///open.zv"}}}, {"position", {{"line", 0}, {"character", 2}}}},
      nlohmann::json{{"textDocument", {{"uri", "file:///a.zv"}}}, {"position", position}, {"context", nullptr}},
      nlohmann::json{{"textDocument", {{"uri", "file:///a.zv"}}},
                     {"position", position},
                     {"context", {{"triggerKind", 3}}},
                     {"workDoneToken", "t"},
                     {"partialResultToken", 5},
                     {"unknown", {1, 2}}},
  };
  for (const auto& params : cases) {
    const Answer result = answer_of(handle_completion, params, state);
    ASSERT_TRUE(result.ok()) << params->dump();
    EXPECT_EQ(result.text, completion_catalogue());
  }
}

}  // namespace
}  // namespace zevo::lsp
