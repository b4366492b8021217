#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "lsp/code_lens.hpp"
#include "support/answer.hpp"
#include "text/lines.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {
namespace {

using nlohmann::json;

constexpr std::string_view kUri = "file:///t.zv";

TEST(NameAfterKeyword, Cases) {
  struct Case {
    std::string_view line, keyword;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {"fonksiyon topla(a, b) {", "fonksiyon", "topla"},
      {"fonksiyonel(x)", "fonksiyon", "el"},  // a plain substring, no word boundary
      {"fnord(x)", "fn", "ord"},
      {"fn  a b  (x)", "fn", "a b"},
      {"x fn y fn z()", "fn", "y fn z"},  // the first occurrence counts
      {"fonksiyon\u00a0sırala\u3000()", "fonksiyon", "sırala"},  // Unicode white space is trimmed
      {"fonksiyon topla", "fonksiyon", std::nullopt},
      {"fonksiyon   (x)", "fonksiyon", std::nullopt},
      {"let x = f(1)", "fonksiyon", std::nullopt},
      {"fn", "fn", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(function_name_after(c.line, c.keyword), c.name) << c.line;
}

struct Lens {
  uint32_t line;
  uint32_t end;
  std::string title;
  std::string command;
  std::vector<std::string> arguments;
  bool operator==(const Lens&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Lens& l) {
  os << "(" << l.line << ", 0-" << l.end << ") " << l.title << " " << l.command << " [";
  for (const auto& a : l.arguments) os << a << ",";
  return os << "]";
}

std::vector<Lens> lenses_of(std::string_view text) {
  std::vector<Lens> out;
  for (const CodeLens& lens : compute_code_lenses(text, kUri)) {
    EXPECT_EQ(lens.range.start.line, lens.range.end.line);
    EXPECT_EQ(lens.range.start.character, 0u);
    EXPECT_FALSE(lens.data);
    Lens l{lens.range.start.line, lens.range.end.character, lens.command->title, lens.command->command, {}};
    for (const json& a : *lens.command->arguments) l.arguments.push_back(a.get<std::string>());
    out.push_back(std::move(l));
  }
  return out;
}

const std::string U(kUri);
const std::string kRun = "zevo.runFunction";
const std::string kTest = "zevo.runTest";
const std::string kBench = "zevo.runBenchmark";
const std::string kRefs = "editor.action.showReferences";

TEST(ComputeCodeLenses, LensesOfEachKindInOrder) {
  struct Case {
    std::string_view text;
    std::vector<Lens> lenses;
  };
  const Case cases[] = {
      {"fonksiyon topla(a, b) {", {{0, 23, "▶ Run 'topla'", kRun, {U, "topla"}}}},
      {"fonksiyon ana() {",
       {{0, 17, "▶ Run 'ana'", kRun, {U, "ana"}}, {0, 17, "▶ Run Program", kRun, {U, "main"}}}},
      {"fonksiyon test_topla() {",
       {{0, 24, "▶ Run 'test_topla'", kRun, {U, "test_topla"}},
        {0, 24, "▶ Run Test 'test_topla'", kTest, {U, "test_topla"}}}},
      {"@test fonksiyon topla()",
       {{0, 23, "▶ Run 'topla'", kRun, {U, "topla"}}, {0, 23, "▶ Run Test 'test'", kTest, {U, "test"}}}},
      {"#[test]", {{0, 7, "▶ Run Test 'test'", kTest, {U, "test"}}}},
      {"// test", {}},
      {"deneme fonksiyon topla()", {{0, 24, "▶ Run 'topla'", kRun, {U, "topla"}}}},
      {"fonksiyon benchmark_sırala() {",
       {{0, 30, "▶ Run 'benchmark_sırala'", kRun, {U, "benchmark_sırala"}},
        {0, 30, "▶ Run Benchmark 'benchmark_sırala'", kBench, {U, "benchmark_sırala"}}}},
      {"@bench fonksiyon topla()",
       {{0, 24, "▶ Run 'topla'", kRun, {U, "topla"}},
        {0, 24, "▶ Run Benchmark 'topla'", kBench, {U, "topla"}}}},
      {"@bench", {{0, 6, "▶ Run Benchmark 'benchmark'", kBench, {U, "benchmark"}}}},
      {"fonksiyon bench_sort()", {{0, 22, "▶ Run 'bench_sort'", kRun, {U, "bench_sort"}}}},
      {"fonksiyon karşılaştırma_bench()",
       {{0, 31, "▶ Run 'karşılaştırma_bench'", kRun, {U, "karşılaştırma_bench"}},
        {0, 31, "▶ Run Benchmark 'karşılaştırma_bench'", kBench, {U, "karşılaştırma_bench"}}}},
      // Every kind on one line, in lens order.
      {"fonksiyon ana (x_test_benchmark) {\nana()",
       {{0, 34, "▶ Run 'ana'", kRun, {U, "ana"}},
        {0, 34, "▶ Run Test 'ana'", kTest, {U, "ana"}},
        {0, 34, "▶ Run Program", kRun, {U, "main"}},
        {0, 34, "▶ Run Benchmark 'ana'", kBench, {U, "ana"}},
        {0, 34, "1 reference", kRefs, {"ana"}}}},
      // The prefix test takes a keyword inside a longer word; the blank test needs " " after it.
      {"fonksiyonel(x)", {{0, 14, "▶ Run 'el'", kRun, {U, "el"}}}},
      {"fnord(x)", {{0, 8, "▶ Run 'ord'", kRun, {U, "ord"}}}},
      {"x = fnord(1)", {}},
      // Indented: the range ends at the trimmed length; UTF-16 units, not bytes or characters.
      {"    fonksiyon f()", {{0, 13, "▶ Run 'f'", kRun, {U, "f"}}}},
      {"fonksiyon 𝐟() {", {{0, 16, "▶ Run '𝐟'", kRun, {U, "𝐟"}}}},
      {"x\r\n\tfn g() {}\r\n", {{1, 9, "▶ Run 'g'", kRun, {U, "g"}}, {1, 9, "1 reference", kRefs, {"g"}}}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(lenses_of(c.text), c.lenses) << c.text;
}

TEST(ComputeCodeLenses, ReferenceCounts) {
  struct Case {
    std::string_view text;
    std::vector<Lens> lenses;
  };
  const Case cases[] = {
      {"let x = 1\nyaz(x)\nx = x + 1", {{0, 9, "3 references", kRefs, {"x"}}}},
      {"let y = 2", {}},
      // Line 0 holds "let" and the substring "x" (in "max"): it is skipped instead of line 1.
      {"let max = 1\nlet x = 2\nyaz(x)", {{1, 9, "2 references", kRefs, {"x"}}}},
      {"fonksiyon topla() {}\ntopla()",
       {{0, 20, "▶ Run 'topla'", kRun, {U, "topla"}}, {0, 20, "1 reference", kRefs, {"topla"}}}},
      // A line with only "fn" is never skipped.
      {"fn topla() {}\ntopla()",
       {{0, 13, "▶ Run 'topla'", kRun, {U, "topla"}}, {0, 13, "2 references", kRefs, {"topla"}}}},
      // "f" counts 0, so the step goes on to "let".
      {"fonksiyon f() { let x = 1 }\nx = 2",
       {{0, 27, "▶ Run 'f'", kRun, {U, "f"}}, {0, 27, "1 reference", kRefs, {"x"}}}},
      // Every run of the skipped line is left out, not only one.
      {"let xx = x + x\nlet x = 1\nx", {{1, 9, "2 references", kRefs, {"x"}}}},
      // A keyword without a name ends the step: "const y" is never tried.
      {"let : const y\ny", {}},
      // Runs, not substrings: "a.b", "a_b" and "ab" hold one whole "a" between them.
      {"let a = 1\na.b a_b ab a", {{0, 9, "2 references", kRefs, {"a"}}}},
      // A name that is no identifier run never counts.
      {"let x; = 1\nx; x;", {}},
      {"değişken sayaç = 0\nsayaç = sayaç + 1", {{0, 18, "2 references", kRefs, {"sayaç"}}}},
      {"sabit N: tamsayı = 3\nconst M=N\nM", {{0, 20, "1 reference", kRefs, {"N"}}, {1, 9, "1 reference", kRefs, {"M"}}}},
      {"let x = 1\r\nx\r\n", {{0, 9, "1 reference", kRefs, {"x"}}}},
  };
  for (const auto& c : cases) EXPECT_EQ(lenses_of(c.text), c.lenses) << c.text;
}

// Documents asked in turn, as while typing: the same names in another order
// of lines skip other lines, and other names come in between, so that what a
// request keeps for the next never answers for another document (as many
// names as before, other ones).
TEST(ComputeCodeLenses, DocumentsInTurn) {
  struct Case {
    std::string_view text;
    std::vector<Lens> lenses;
  };
  const Case max_first = {"let max = 1\nlet x = 2\nyaz(x)", {{1, 9, "2 references", kRefs, {"x"}}}};
  const Case x_first = {"let x = 2\nlet max = 1\nyaz(x)", {{0, 9, "1 reference", kRefs, {"x"}}}};
  const Case other = {"let y = 2\nlet yy = y\nyaz(y)", {{0, 9, "2 references", kRefs, {"y"}}}};
  const Case typed = {"let max = 1\nlet x = 2\nyaz(x) // a", {{1, 9, "2 references", kRefs, {"x"}}}};
  for (const Case* c : {&max_first, &x_first, &max_first, &other, &typed, &x_first}) {
    EXPECT_EQ(lenses_of(c->text), c->lenses) << c->text;
  }
}

// The counting rule applied literally, line by line, as the oracle for the
// one-pass count.
std::size_t literal_count(const std::vector<std::string_view>& lines, const std::string& name) {
  static constexpr std::string_view kSkippable[] = {"fonksiyon", "function", "değişken", "let", "sabit", "const"};
  bool skipped = false;
  std::size_t count = 0;
  for (std::string_view line : lines) {
    if (!skipped && line.find(name) != std::string_view::npos) {
      bool keyword = false;
      for (auto k : kSkippable) keyword = keyword || line.find(k) != std::string_view::npos;
      if (keyword) {
        skipped = true;
        continue;
      }
    }
    std::string run;
    auto close = [&] {
      if (run == name) ++count;
      run.clear();
    };
    for (std::size_t i = 0; i < line.size();) {
      const std::size_t at = i;
      std::size_t next = i;
      char32_t c = text::decode_utf8(line, next);
      i = next;
      if (text::is_identifier_char(c)) {
        run.append(line.substr(at, i - at));
      } else {
        close();
      }
    }
    close();
  }
  return count;
}

// The value-name rule, for texts whose only white space is blank and tab.
std::optional<std::string> literal_value_name(std::string_view t, std::string_view keyword) {
  const std::string rest(t.substr(t.find(keyword) + keyword.size()));
  const std::size_t from = rest.find_first_not_of(" \t");
  if (from == std::string::npos) return std::nullopt;
  const std::string name = rest.substr(from, rest.find_first_of(" \t:=", from) - from);
  if (name.empty()) return std::nullopt;
  return name;
}

std::vector<Lens> literal_reference_lenses(std::string_view text) {
  static constexpr std::string_view kKeywords[] = {"fonksiyon", "function", "fn", "değişken", "let", "sabit", "const"};
  const auto lines = text::split_lines(text);
  std::vector<Lens> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view t = text::trim(lines[i]);
    for (std::size_t k = 0; k < std::size(kKeywords); ++k) {
      if (t.find(kKeywords[k]) == std::string_view::npos) continue;
      std::optional<std::string> name = literal_value_name(t, kKeywords[k]);
      if (k < 3) name = function_name_after(t, kKeywords[k]);
      if (!name) break;
      const std::size_t n = literal_count(lines, *name);
      if (n == 0) continue;
      out.push_back({static_cast<uint32_t>(i), static_cast<uint32_t>(text::utf16_length(t)),
                     n == 1 ? "1 reference" : std::to_string(n) + " references", kRefs, {*name}});
      break;
    }
  }
  return out;
}

// Random documents built from keywords and names that overlap as substrings, so
// that skipped lines, names inside longer runs and repeated declarations meet.
TEST(ComputeCodeLenses, OnePassCountMatchesTheLiteralRule) {
  static constexpr std::string_view kPieces[] = {
      "let ", "fn ", "fonksiyon ", "sabit ", "const ", "değişken ", "function ", " ", "  ", "=", ":", "(",
      ")",    "a",   "ab",         "ba",     "aba",    "b",         "x",         "ax", "ş", "aş", "1", ";", "\t", "\n"};
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  for (int doc = 0; doc < 400; ++doc) {
    std::string text;
    const int length = 20 + doc % 120;
    for (int p = 0; p < length; ++p) text += kPieces[piece(rng)];
    std::vector<Lens> refs;
    for (auto& l : lenses_of(text)) {
      if (l.command == kRefs) refs.push_back(l);
    }
    ASSERT_EQ(refs, literal_reference_lenses(text)) << text;
  }
}

// A lens ends at the UTF-16 length of its trimmed line, whatever the line's
// bytes: ASCII in long runs, two-, three- and four-byte characters, bytes
// that begin or end no well-formed sequence, a carriage return.
TEST(ComputeCodeLenses, LensEndIsTheLineLengthInUtf16) {
  const std::string_view lines[] = {
      "fn ad(x) { dön x } // a comment long enough for several words of ASCII",
      "fonksiyon işlev_1(değer: tamsayı) -> tamsayı { dön değer + 1 }",
      "fn ş(x) {}",
      "fn k(x) { dön \u20ac + \u212a }",
      "fn e(x) { yaz(\"😀👩‍👩‍👧\") }",
      "fn a(x) { \xC3 }",
      "fn a(x) { \xC3",
      "fn a(x) {}\xC3",
      "fn a(x) { \xC3\xC3\xA7 }",
      "fn a(x) { \xE2\x82 } \xF0\x9F",
      "fn a(x) { \xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \x80\xBF }",
      "fn a(x) { \xF0\x9F\x98",
      "  \tfn crlf(x) {}\r",
  };
  for (const std::string_view line : lines) {
    const auto lenses = lenses_of(line);
    ASSERT_FALSE(lenses.empty()) << line;
    for (const Lens& lens : lenses) EXPECT_EQ(lens.end, text::utf16_length(text::trim(line))) << line;
  }
}

// The same for lines of random pieces, where sequences meet the edges of
// the eight-byte blocks of ASCII that the length takes whole.
TEST(ComputeCodeLenses, LensEndOfRandomLinesIsTheirLengthInUtf16) {
  static constexpr std::string_view kPieces[] = {"a", "bc", " ", "ş", "ğı", "\u20ac", "😀", "\xC3", "\xC2", "\xDF",
                                                 "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xE2\x82", "\xF0\x9F",
                                                 "\xED\xA0\x80", "\xFF", "\t"};
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  for (int line = 0; line < 2000; ++line) {
    std::string text = "fn a(x) {";
    const int length = line % 40;
    for (int p = 0; p < length; ++p) text += kPieces[piece(rng)];
    const auto lenses = lenses_of(text);
    ASSERT_FALSE(lenses.empty()) << text;
    EXPECT_EQ(lenses.front().end, text::utf16_length(text::trim(text))) << text;
  }
}

TEST(HandleCodeLens, Failures) {
  DocumentsSnapshot snapshot;
  snapshot.add("file:///a", std::make_shared<const std::string>("fonksiyon f()"));
  struct Case {
    json params;
    std::string error;
  };
  const Case cases[] = {
      {nullptr, "Missing textDocument.uri"},
      {json::object(), "Missing textDocument.uri"},
      {json::array({"file:///a"}), "Missing textDocument.uri"},
      {json{{"textDocument", "file:///a"}}, "Missing textDocument.uri"},
      {json{{"textDocument", {{"uri", 1}}}}, "Missing textDocument.uri"},
      {json{{"textDocument", {{"uri", "file:///b"}}}}, "Document not found"},
      // The URI text is looked up as sent, never normalised.
      {json{{"textDocument", {{"uri", "FILE:///a"}}}}, "Document not found"},
  };
  for (const auto& c : cases) {
    const auto result = answer_of(handle_code_lens, c.params, snapshot);
    ASSERT_FALSE(result.ok()) << c.params.dump();
    EXPECT_EQ(result.error()->code, kInternalError);
    EXPECT_EQ(result.error()->message, "Code lens error: " + c.error) << c.params.dump();
  }
}

TEST(HandleCodeLens, ExactJson) {
  DocumentsSnapshot snapshot;
  snapshot.add("untitled:a b", std::make_shared<const std::string>("fonksiyon topla(a, b) {\n}\ntopla(1, 2)"));
  snapshot.add("file:///empty", std::make_shared<const std::string>(""));

  const auto lenses = answer_of(handle_code_lens, json{{"textDocument", {{"uri", "untitled:a b"}}}}, snapshot);
  ASSERT_TRUE(lenses.ok()) << lenses.error()->message;
  EXPECT_EQ(lenses.text,
            R"([{"command":{"arguments":["untitled:a b","topla"],"command":"zevo.runFunction","title":"▶ Run 'topla'"},)"
            R"("range":{"end":{"character":23,"line":0},"start":{"character":0,"line":0}}},)"
            R"({"command":{"arguments":["topla"],"command":"editor.action.showReferences","title":"1 reference"},)"
            R"("range":{"end":{"character":23,"line":0},"start":{"character":0,"line":0}}}])");

  const auto none = answer_of(handle_code_lens, json{{"textDocument", {{"uri", "file:///empty"}}}}, snapshot);
  ASSERT_TRUE(none.ok());
  EXPECT_EQ(none.text, "[]");
}

}  // namespace
}  // namespace zevo::lsp
