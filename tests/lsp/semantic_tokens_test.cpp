#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "lsp/semantic_tokens.hpp"
#include "support/answer.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace zevo::lsp {

// Readable failures: (line, start, length, type, modifiers).
void PrintTo(const SemanticTokenRecord& r, std::ostream* os) {
  *os << "(" << r.line << ", " << r.start << ", " << r.length << ", " << r.token_type << ", " << r.modifiers << ")";
}

namespace {

using nlohmann::json;
using R = SemanticTokenRecord;

std::vector<uint32_t> data_of(std::string_view text) { return encode_semantic_tokens(semantic_token_records(text)); }

TEST(SemanticTokens, WorkedExamples) {
  EXPECT_EQ(data_of("let x = 1"),
            (std::vector<uint32_t>{0, 0, 3, 15, 0, 0, 4, 1, 8, 1, 0, 2, 1, 21, 0, 0, 2, 1, 19, 0}));
  EXPECT_EQ(data_of("sabit PI = 3.14"),
            (std::vector<uint32_t>{0, 0, 5, 15, 0, 0, 6, 2, 8, 5, 0, 3, 1, 21, 0, 0, 2, 4, 19, 0}));
  // The second line is taken relative to the last record of the first.
  EXPECT_EQ(data_of("let x = 1\nx = 2"),
            (std::vector<uint32_t>{0, 0, 3, 15, 0, 0, 4, 1, 8, 1, 0, 2, 1, 21, 0, 0, 2, 1, 19, 0,  //
                                   1, 2, 1, 21, 0, 0, 2, 1, 19, 0}));
  // Lines without tokens still count.
  EXPECT_EQ(data_of("1\n\n\n  2"), (std::vector<uint32_t>{0, 0, 1, 19, 0, 3, 2, 1, 19, 0}));
}

TEST(SemanticTokens, RecordsOfOneLine) {
  struct Case {
    std::string_view line;
    std::vector<R> records;
  };
  const Case cases[] = {
      // The name's token stands at the name, not at its first letter inside the keyword.
      {"değişken e = 1", {{0, 0, 8, 15, 0}, {0, 9, 1, 8, 1}, {0, 11, 1, 21, 0}, {0, 13, 1, 19, 0}}},
      {"fonksiyon f()", {{0, 0, 9, 15, 0}, {0, 10, 1, 12, 1}}},
      // "let" inside "letter" is no keyword, yet the line "contains" it for the variable scan.
      {"letter = 5", {{0, 3, 3, 8, 1}, {0, 7, 1, 21, 0}, {0, 9, 1, 19, 0}}},
      {"let _x = 1", {{0, 0, 3, 15, 0}, {0, 7, 1, 21, 0}, {0, 9, 1, 19, 0}}},
      {"değişken sabitler = 5", {{0, 0, 8, 15, 0}, {0, 9, 8, 8, 1}, {0, 9, 8, 8, 5}, {0, 18, 1, 21, 0}, {0, 20, 1, 19, 0}}},
      // A "let" line that also holds "sabit" takes its name after "sabit".
      {"let a = sabit b", {{0, 0, 3, 15, 0}, {0, 6, 1, 21, 0}, {0, 8, 5, 15, 0}, {0, 14, 1, 8, 1}, {0, 14, 1, 8, 5}}},
      {"let a b = 1", {{0, 0, 3, 15, 0}, {0, 4, 3, 8, 1}, {0, 8, 1, 21, 0}, {0, 10, 1, 19, 0}}},
      {"x == y", {{0, 2, 2, 21, 0}, {0, 2, 1, 21, 0}, {0, 3, 1, 21, 0}}},
      {"a->b<=c", {{0, 1, 2, 21, 0}, {0, 1, 1, 21, 0}, {0, 2, 1, 21, 0}, {0, 4, 2, 21, 0}, {0, 4, 1, 21, 0}, {0, 5, 1, 21, 0}}},
      {"// let x = 1",
       {{0, 0, 12, 17, 0}, {0, 0, 1, 21, 0}, {0, 1, 1, 21, 0}, {0, 3, 3, 15, 0}, {0, 7, 1, 8, 1}, {0, 9, 1, 21, 0},
        {0, 11, 1, 19, 0}}},
      {"\"a\" + \"b\"", {{0, 0, 3, 18, 0}, {0, 4, 1, 21, 0}, {0, 6, 3, 18, 0}}},
      {"x = \"açık", {{0, 2, 1, 21, 0}}},
      {"\"a\\\"b\"", {{0, 0, 4, 18, 0}}},
      {"x1 3.14 1..5 1.2.3 ٣", {{0, 1, 1, 19, 0}, {0, 3, 4, 19, 0}, {0, 8, 4, 19, 0}, {0, 13, 5, 19, 0}, {0, 19, 1, 19, 0}}},
      {"yapı Nokta {", {{0, 0, 4, 15, 0}, {0, 5, 5, 5, 1}}},
      {"tip Sayı=tamsayı", {{0, 0, 3, 15, 0}, {0, 4, 4, 5, 1}, {0, 8, 1, 21, 0}}},
      {"struct 1x {", {{0, 0, 6, 15, 0}, {0, 7, 1, 19, 0}}},
      {"fonksiyon _f()", {{0, 0, 9, 15, 0}}},
      {"function g(x) function", {{0, 0, 8, 15, 0}, {0, 9, 1, 12, 1}, {0, 14, 8, 15, 0}}},
      // "yap" is found inside "yapyapı" but bounded by no word; the type name is "do".
      {"yapyapı do dön", {{0, 8, 2, 15, 0}, {0, 8, 2, 5, 1}, {0, 11, 3, 15, 0}}},
      {"@realtime(x)", {{0, 0, 9, 22, 0}}},
      {"(@gizli,", {{0, 1, 6, 22, 8192}}},
      {"@public @exportable\t@domestic_only [@classified]",
       {{0, 0, 7, 22, 1024}, {0, 8, 11, 22, 2048}, {0, 20, 14, 22, 4096}, {0, 36, 11, 22, 8192}}},
      {"@halka_açık @critical @wcet", {{0, 0, 11, 22, 1024}, {0, 12, 9, 22, 8192}, {0, 22, 5, 22, 0}}},
      {"@realtime_x", {}},
      {"x@public", {}},
      // Next to an annotation, a character above ASCII counts by its class:
      // a no-break space bounds it, a dotless i does not; columns count it.
      {"ğ @gizli", {{0, 2, 6, 22, 8192}}},
      {"x\u00a0@wcet", {{0, 2, 5, 22, 0}}},
      {"@wcet\u00a0x", {{0, 0, 5, 22, 0}}},
      {"ı@wcet", {}},
      // A line whose only digits are above ASCII still has its numbers.
      {"٣ ve ۴", {{0, 0, 1, 19, 0}, {0, 5, 1, 19, 0}}},
      // Matches of one operator do not overlap: "===" holds one "==".
      {"===", {{0, 0, 2, 21, 0}, {0, 0, 1, 21, 0}, {0, 1, 1, 21, 0}, {0, 2, 1, 21, 0}}},
      {"&&&&", {{0, 0, 2, 21, 0}, {0, 0, 1, 21, 0}, {0, 1, 1, 21, 0}, {0, 2, 2, 21, 0}, {0, 2, 1, 21, 0}, {0, 3, 1, 21, 0}}},
      {"a=>b->c!=d",
       {{0, 1, 2, 21, 0}, {0, 1, 1, 21, 0}, {0, 2, 1, 21, 0}, {0, 4, 2, 21, 0}, {0, 4, 1, 21, 0}, {0, 5, 1, 21, 0},
        {0, 7, 2, 21, 0}, {0, 7, 1, 21, 0}, {0, 8, 1, 21, 0}}},
      {"sabit ş = 2", {{0, 0, 5, 15, 0}, {0, 6, 1, 8, 5}, {0, 8, 1, 21, 0}, {0, 10, 1, 19, 0}}},
      {"değişken ağ:tamsayı=1", {{0, 0, 8, 15, 0}, {0, 9, 2, 8, 1}, {0, 19, 1, 21, 0}, {0, 20, 1, 19, 0}}},
      // White space ends a type name, also white space that is not a blank.
      {"yapı Nokta\u00a0", {{0, 0, 4, 15, 0}, {0, 5, 5, 5, 1}}},
      {"tip \tA\u00a0B", {{0, 0, 3, 15, 0}, {0, 5, 3, 5, 1}}},
      // Strings and comments hide nothing.
      {"\"let\" // 😀 @gizli",
       {{0, 0, 5, 18, 0}, {0, 1, 3, 15, 0}, {0, 6, 12, 17, 0}, {0, 6, 1, 21, 0}, {0, 7, 1, 21, 0}, {0, 12, 6, 22, 8192}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line));
    EXPECT_EQ(semantic_token_records(c.line), c.records);
  }
}

TEST(SemanticTokens, ColumnsAreUtf16Units) {
  // The emoji takes two columns before a token and two more inside one.
  EXPECT_EQ(semantic_token_records("😀 let"), (std::vector<R>{{0, 3, 3, 15, 0}}));
  EXPECT_EQ(semantic_token_records("\"😀\""), (std::vector<R>{{0, 0, 4, 18, 0}}));
  EXPECT_EQ(semantic_token_records("x // 😀"), (std::vector<R>{{0, 2, 5, 17, 0}, {0, 2, 1, 21, 0}, {0, 3, 1, 21, 0}}));
  // Turkish letters are one unit each.
  EXPECT_EQ(semantic_token_records("ğüş = 1"), (std::vector<R>{{0, 4, 1, 21, 0}, {0, 6, 1, 19, 0}}));
}

// A line of many tokens is put in order by another sort than a short one;
// equal starts still keep the order of the scans.
TEST(SemanticTokens, LongLinesKeepTheOrderOfShortOnes) {
  std::string line;
  std::vector<R> expected;
  for (uint32_t k = 0; k < 40; ++k) {
    line += "a == ğ; ";
    for (R r : std::vector<R>{{0, 2, 2, 21, 0}, {0, 2, 1, 21, 0}, {0, 3, 1, 21, 0}}) {
      r.start += 8 * k;
      expected.push_back(r);
    }
  }
  EXPECT_EQ(semantic_token_records(line), expected);
}

// The scans step through bit rows of 64 bytes each: a line's tokens move
// with its text when spaces come before it, whichever word of a row each
// token and the line's end fall in.
TEST(SemanticTokens, TokensMoveWithTheTextAcrossRowWords) {
  constexpr std::string_view kText = "let a1 = 1.5 + @wcet \"s\" // ğ sabit b";
  const std::vector<R> at_start = semantic_token_records(kText);
  ASSERT_FALSE(at_start.empty());
  for (uint32_t spaces = 1; spaces <= 140; ++spaces) {
    std::vector<R> expected = at_start;
    for (R& r : expected) r.start += spaces;
    EXPECT_EQ(semantic_token_records(std::string(spaces, ' ') + std::string(kText)), expected) << spaces;
  }
}

TEST(SemanticTokens, LinesAsSplitLinesGivesThem) {
  EXPECT_EQ(semantic_token_records("1\r\n2\n"), (std::vector<R>{{0, 0, 1, 19, 0}, {1, 0, 1, 19, 0}}));
  // A lone "\r" breaks no line.
  EXPECT_EQ(semantic_token_records("1\r2"), (std::vector<R>{{0, 0, 1, 19, 0}, {0, 2, 1, 19, 0}}));
  EXPECT_TRUE(semantic_token_records("").empty());
}

// The keyword tokens of a line found the literal way: each spelling in table
// order, matches that do not overlap, a boundary test on both sides.
std::vector<R> literal_keyword_tokens(std::string_view line) {
  std::vector<std::size_t> starts;  // byte offset of each character
  std::vector<char32_t> chars;
  for (std::size_t i = 0; i < line.size();) {
    starts.push_back(i);
    chars.push_back(text::decode_utf8(line, i));
  }
  auto column = [&](std::size_t byte) { return static_cast<uint32_t>(text::byte_to_column(line, byte)); };
  auto boundary = [&](std::size_t byte) {
    const auto at = std::find(starts.begin(), starts.end(), byte);
    return at == starts.end() || !text::is_identifier_char(chars[at - starts.begin()]);
  };
  std::vector<R> out;
  for (std::string_view keyword : SEMANTIC_KEYWORDS) {
    for (std::size_t p = 0; p < line.size();) {
      if (line.substr(p).starts_with(keyword)) {
        const std::size_t end = p + keyword.size();
        const bool before = p == 0 || boundary(*(std::find(starts.begin(), starts.end(), p) - 1));
        if (before && boundary(end)) out.push_back({0, column(p), column(end) - column(p), kTokenKeyword, 0});
        p = end;
      } else {
        p += std::max<std::size_t>(1, text::utf8_lead(static_cast<unsigned char>(line[p])).length);
      }
    }
  }
  std::stable_sort(out.begin(), out.end(), [](const R& a, const R& b) { return a.start < b.start; });
  return out;
}

// The keyword scan walks identifier runs once instead of searching for each
// spelling; on lines of keyword pieces, identifier and other characters the
// two must find the same tokens.
TEST(SemanticTokens, KeywordRunsMatchTheSearchPerSpelling) {
  static constexpr std::string_view kPieces[] = {
      "let", "yap", "yapı", "do", "dön", "if", "for", "için", "dışa_aktar", "_", "x", "1", "٣", "ı", "İ", "😀",
      " ", "\u00a0", "(", ".", "@", "\"", "-", "end", "son", "else", "null", "boş", "kır", "tip", "type"};
  std::mt19937 rng(20240612);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 2000; ++i) {
    std::string line;
    for (int p = 0; p < 2 + i % 14; ++p) line += kPieces[piece(rng)];
    std::vector<R> keywords;
    for (const R& r : semantic_token_records(line)) {
      if (r.token_type == kTokenKeyword) keywords.push_back(r);
    }
    ASSERT_EQ(keywords, literal_keyword_tokens(line)) << line;
  }
}

TEST(DeclaredName, KeywordOrderAndCuts) {
  struct Case {
    std::string_view line;
    std::optional<std::string_view> name;
  };
  const Case cases[] = {
      {"let x = 1", "x"},
      {"değişken sayı: tamsayı = 3", "sayı"},
      {"const Max=3", "Max"},
      {"let a b = 1", "a b"},
      {"let a = sabit b", "b"},
      {"let x let y", "x"},
      {"let _x = 1", std::nullopt},
      {"let = 1", std::nullopt},
      {"x = 1", std::nullopt},
      {"let 1x", std::nullopt},
      {"let x \u00a0", "x"},
      {"let\u00a0 x\t= 1", "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(declared_name(c.line), c.name) << c.line;
}

DocumentsSnapshot snapshot_of(std::string uri, std::string text) {
  DocumentsSnapshot snapshot;
  snapshot.add(std::move(uri), std::make_shared<const std::string>(std::move(text)));
  return snapshot;
}

// The result as the server writes it.
std::string result_text(const Answer& result) {
  return result.ok() ? result.text : "error";
}

TEST(SemanticTokensFull, AlwaysAnObjectWithData) {
  DocumentsSnapshot snapshot = snapshot_of("file:///a.zv", "let x = 1");
  snapshot.add("file:///empty.zv", std::make_shared<const std::string>(""));
  const json empty[] = {
      json(),
      json::object(),
      json{{"textDocument", {{"uri", 7}}}},
      json{{"textDocument", {{"uri", "file:///closed.zv"}}}},
      json{{"textDocument", {{"uri", "file:///empty.zv"}}}},
  };
  for (const json& params : empty) {
    EXPECT_EQ(result_text(answer_of(handle_semantic_tokens_full, params, snapshot)), R"({"data":[]})") << params.dump();
  }
  EXPECT_EQ(result_text(answer_of(handle_semantic_tokens_full, json{{"textDocument", {{"uri", "file:///a.zv"}}}}, snapshot)),
            R"({"data":[0,0,3,15,0,0,4,1,8,1,0,2,1,21,0,0,2,1,19,0]})");
}

}  // namespace
}  // namespace zevo::lsp
