#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "parser/lexer.hpp"
#include "text/utf8.hpp"

namespace zevo::parser {
namespace {

std::string shown(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\0': out += "\\0"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      default: out += c;
    }
  }
  return out + "\"";
}

// "kind payload line:column+length", e.g. `222 "x" 1:1+1` or `223 1 1:5+1`.
std::string describe(const Token& token, const Span& span) {
  std::string out = std::to_string(token_kind_number(token.kind));
  switch (token.kind) {
    case TokenKind::Identifier:
    case TokenKind::StringLiteral:
      out += " " + shown(token.text);
      break;
    case TokenKind::IntegerLiteral:
      out += " " + std::to_string(token.integer);
      break;
    case TokenKind::FloatLiteral: {
      char buf[64];
      auto end = std::to_chars(buf, buf + sizeof buf, token.real).ptr;
      out += " " + std::string(buf, end);
      break;
    }
    default:
      break;
  }
  return out + " " + std::to_string(span.line) + ":" + std::to_string(span.column) + "+" +
         std::to_string(span.length);
}

// Every token up to and including the first EndOfInput of the end of the text,
// recognised as the one that repeats with the same span.
std::vector<std::string> lex_all(std::string_view text) {
  Lexer lexer(text, SourceFile{"<stdin>"});
  std::vector<std::string> out;
  for (int i = 0; i < 10000; ++i) {
    const Token token = lexer.next_token();
    std::string d = describe(token, lexer.last_span());
    if (token.kind == TokenKind::EndOfInput && !out.empty() && out.back() == d) return out;
    out.push_back(std::move(d));
  }
  ADD_FAILURE() << "no end of input";
  return out;
}

struct Case {
  std::string_view text;
  std::vector<std::string> tokens;
};

void check(const std::vector<Case>& cases) {
  for (const auto& c : cases) EXPECT_EQ(lex_all(c.text), c.tokens) << shown(c.text);
}

TEST(Lexer, StatementsAndColumns) {
  check({
      {"x = 1", {R"(222 "x" 1:1+1)", "5 1:3+1", "223 1 1:5+1", "245 1:6+1"}},
      {"değişken sayı = 3.14;",
       {"40 1:1+8", R"(222 "sayı" 1:10+4)", "5 1:15+1", "224 3.14 1:17+4", "17 1:21+1",
        "245 1:22+1"}},
      {"", {"245 1:1+1"}},
      {"a\r\nb", {R"(222 "a" 1:1+1)", R"(222 "b" 2:1+1)", "245 2:2+1"}},
      {"a\rb", {R"(222 "a" 1:1+1)", R"(222 "b" 1:3+1)", "245 1:4+1"}},
      {"\tx", {R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\v\fx", {R"(222 "x" 1:3+1)", "245 1:4+1"}},
      // No-break space, ideographic space, next line and line separator: one column, no new line.
      {"\u00A0x", {R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\u3000x", {R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\u0085x", {R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\u2028x", {R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"ç\nşu ğ", {R"(222 "ç" 1:1+1)", R"(222 "şu" 2:1+2)", R"(222 "ğ" 2:4+1)", "245 2:5+1"}},
  });
}

TEST(Lexer, TwoWordLookAhead) {
  check({
      {"her biri x içinde liste",
       {"32 1:1+8", R"(222 "x" 1:10+1)", "33 1:12+6", "214 1:19+5", "245 1:24+1"}},
      {"veya eğer", {"30 1:1+9", "245 1:10+1"}},
      {"veya eğer eğer", {"30 1:1+9", "27 1:11+4", "245 1:15+1"}},
      {"her biri2", {"32 1:1+8", "223 2 1:9+1", "245 1:10+1"}},
      {"veya eğer_x", {"30 1:1+9", R"(222 "_x" 1:10+2)", "245 1:12+1"}},
      {"her  biri", {R"(222 "her" 1:1+3)", R"(222 "biri" 1:6+4)", "245 1:10+1"}},
      {"her\tbiri", {R"(222 "her" 1:1+3)", R"(222 "biri" 1:5+4)", "245 1:9+1"}},
      {"her\nbiri", {R"(222 "her" 1:1+3)", R"(222 "biri" 2:1+4)", "245 2:5+1"}},
      {"veya eğerx", {"50 1:1+4", R"(222 "eğerx" 1:6+5)", "245 1:11+1"}},
      {"her birişey", {R"(222 "her" 1:1+3)", R"(222 "birişey" 1:5+7)", "245 1:12+1"}},
      // A failed look-ahead leaves no trace on what follows.
      {"veya eğri = 2",
       {"50 1:1+4", R"(222 "eğri" 1:6+4)", "5 1:11+1", "223 2 1:13+1", "245 1:14+1"}},
      {"her = 1", {R"(222 "her" 1:1+3)", "5 1:5+1", "223 1 1:7+1", "245 1:8+1"}},
      {"veya ", {"50 1:1+4", "245 1:6+1"}},
      {"veya 5", {"50 1:1+4", "223 5 1:6+1", "245 1:7+1"}},
      {"hera biri", {R"(222 "hera" 1:1+4)", R"(222 "biri" 1:6+4)", "245 1:10+1"}},
  });
}

TEST(Lexer, ByteOrderMark) {
  check({
      {"\xEF\xBB\xBFx = 1", {R"(222 "x" 1:1+1)", "5 1:3+1", "223 1 1:5+1", "245 1:6+1"}},
      {"\xEF\xBB\xBF", {"245 1:1+1"}},
      // Anywhere else the mark is a character the lexer does not know.
      {"x\xEF\xBB\xBF", {R"(222 "x" 1:1+1)", "245 1:2+1", "245 1:3+1"}},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", {"245 1:1+1", R"(222 "x" 1:2+1)", "245 1:3+1"}},
      // Too short to be a mark: each stray byte is one unknown character.
      {"\xEF\xBB", {"245 1:1+1", "245 1:2+1", "245 1:3+1"}},
  });
}

TEST(Lexer, Comments) {
  check({
      {"// c\r\nx", {R"(222 "x" 2:1+1)", "245 2:2+1"}},
      {"/* a\n b */x", {R"(222 "x" 2:6+1)", "245 2:7+1"}},
      {"x /* unclosed", {R"(222 "x" 1:1+1)", "245 1:14+1"}},
      {"/*/ x", {"245 1:6+1"}},
      {"/**/x", {R"(222 "x" 1:5+1)", "245 1:6+1"}},
      {"/***/x", {R"(222 "x" 1:6+1)", "245 1:7+1"}},
      {"/* /* */x */", {R"(222 "x" 1:9+1)", "2 1:11+1", "3 1:12+1", "245 1:13+1"}},
      {"// only", {"245 1:8+1"}},
      // A comment that ends at a lone carriage return: its characters count as columns.
      {"a // c\rb", {R"(222 "a" 1:1+1)", R"(222 "b" 1:8+1)", "245 1:9+1"}},
      {"// ğğ\rx", {R"(222 "x" 1:7+1)", "245 1:8+1"}},
      // Long comments are stepped over a word at a time: a line end inside a
      // word, letters and a stray byte between words still count one column each.
      {"// twelve chars ab\rx", {R"(222 "x" 1:20+1)", "245 1:21+1"}},
      {"// abcdefghijk\nx", {R"(222 "x" 2:1+1)", "245 2:2+1"}},
      {"// abcdefgh\xFF" "abcdeğfgh\rx", {R"(222 "x" 1:23+1)", "245 1:24+1"}},
      // Two-byte letters are stepped over with the words that hold them whole;
      // any other sequence, whole or not, is walked a character at a time.
      {"// ğğğğ ab\rx", {R"(222 "x" 1:12+1)", "245 1:13+1"}},
      {"// çğıöşü ÇĞİÖŞÜ aaa\rx", {R"(222 "x" 1:22+1)", "245 1:23+1"}},
      {"// abc\xC0\x80" "defgh\rx", {R"(222 "x" 1:15+1)", "245 1:16+1"}},
      {"// abc\xC1\xBF" "defgh\rx", {R"(222 "x" 1:15+1)", "245 1:16+1"}},
      {"// ab€cdefgh\rx", {R"(222 "x" 1:14+1)", "245 1:15+1"}},
      {"// 🔧abcdefgh\rx", {R"(222 "x" 1:14+1)", "245 1:15+1"}},
      {"// abcde\x80" "abcdefg\rx", {R"(222 "x" 1:18+1)", "245 1:19+1"}},
      {"// abcd\xC3" "abcdefgh\rx", {R"(222 "x" 1:18+1)", "245 1:19+1"}},
      {"// abcdğ\xBF" "abcdefg\rx", {R"(222 "x" 1:18+1)", "245 1:19+1"}},
      {"// abcdefgh\xF5\x80" "abcdefg\rx", {R"(222 "x" 1:22+1)", "245 1:23+1"}},
      {"// ab\rcdefghij", {R"(222 "cdefghij" 1:7+8)", "245 1:15+1"}},
      {"// aç\ncdefghij", {R"(222 "cdefghij" 2:1+8)", "245 2:9+1"}},
      {"// ağğğ", {"245 1:8+1"}},
      {"/* ç */ /* ş\n*/ // x\ny", {R"(222 "y" 3:1+1)", "245 3:2+1"}},
      {"a/b", {R"(222 "a" 1:1+1)", "3 1:2+1", R"(222 "b" 1:3+1)", "245 1:4+1"}},
      {"/", {"3 1:1+1", "245 1:2+1"}},
  });
}

TEST(Lexer, Strings) {
  check({
      {"\"ab", {R"(225 "ab" 1:1+3)", "245 1:4+1"}},
      {R"('it\'s')", {R"(225 "it's" 1:1+7)", "245 1:8+1"}},
      {R"("\q")", {R"(225 "\\q" 1:1+4)", "245 1:5+1"}},
      {R"("\n\r\t\0\\\"\'")", {R"(225 "\n\r\t\0\\\"\\'" 1:1+16)", "245 1:17+1"}},
      {R"('\n\r\t\0\\\'\"')", {R"(225 "\n\r\t\0\\'\\\"" 1:1+16)", "245 1:17+1"}},
      {R"("it's")", {R"(225 "it's" 1:1+6)", "245 1:7+1"}},
      {R"('say "hi"')", {R"(225 "say \"hi\"" 1:1+10)", "245 1:11+1"}},
      {R"("a\)", {R"(225 "a\\" 1:1+3)", "245 1:4+1"}},
      {R"("\)", {R"(225 "\\" 1:1+2)", "245 1:3+1"}},
      {R"("\\)", {R"(225 "\\" 1:1+3)", "245 1:4+1"}},
      {"\"\"", {R"(225 "" 1:1+2)", "245 1:3+1"}},
      {"\"çğ\" x", {R"(225 "çğ" 1:1+4)", R"(222 "x" 1:6+1)", "245 1:7+1"}},
      // A line feed is taken as it is; the length rule looks at columns only.
      {"\"a\nb\" x", {R"(225 "a\nb" 1:1+2)", R"(222 "x" 2:4+1)", "245 2:5+1"}},
      {"   \"a\nb\"", {R"(225 "a\nb" 1:4+1)", "245 2:3+1"}},
      {"'ab\ncd", {R"(225 "ab\ncd" 1:1+2)", "245 2:3+1"}},
      {"\"a\\\nb\"", {R"(225 "a\\\nb" 1:1+2)", "245 2:3+1"}},
      // A stray byte becomes U+FFFD, so the text stays UTF-8.
      {"\"a\xFF" "b\"", {"225 \"a\uFFFDb\" 1:1+5", "245 1:6+1"}},
      {"\"\uFFFD\"", {"225 \"\uFFFD\" 1:1+3", "245 1:4+1"}},
  });
}

TEST(Lexer, Numbers) {
  check({
      {"9223372036854775807", {"223 9223372036854775807 1:1+19", "245 1:20+1"}},
      {"9223372036854775808", {"245 1:1+19", "245 1:20+1"}},
      {"99999999999999999999 x", {"245 1:1+20", R"(222 "x" 1:22+1)", "245 1:23+1"}},
      {"1.2.3", {"224 1.2 1:1+3", "13 1:4+1", "223 3 1:5+1", "245 1:6+1"}},
      {"1.", {"224 1 1:1+2", "245 1:3+1"}},
      {"1.e5", {"224 1 1:1+2", R"(222 "e5" 1:3+2)", "245 1:5+1"}},
      {"1..5", {"223 1 1:1+1", "14 1:2+2", "223 5 1:4+1", "245 1:5+1"}},
      {"1..=5", {"223 1 1:1+1", "15 1:2+3", "223 5 1:5+1", "245 1:6+1"}},
      {"1.5..", {"224 1.5 1:1+3", "14 1:4+2", "245 1:6+1"}},
      {"10ms", {"223 10 1:1+2", "241 1:3+2", "245 1:5+1"}},
      {"12abc", {"223 12 1:1+2", R"(222 "abc" 1:3+3)", "245 1:6+1"}},
      {"007", {"223 7 1:1+3", "245 1:4+1"}},
      {"-5", {"1 1:1+1", "223 5 1:2+1", "245 1:3+1"}},
      {"0.1", {"224 0.1 1:1+3", "245 1:4+1"}},
      {"3.14159265358979323846", {"224 3.141592653589793 1:1+22", "245 1:23+1"}},
      {"1" + std::string(400, '0') + ".5", {"224 inf 1:1+403", "245 1:404+1"}},
      // Numeric characters other than the ASCII digits make the whole run unconvertible.
      {"\u0661\u0662", {"245 1:1+2", "245 1:3+1"}},
      {"\u00B2", {"245 1:1+1", "245 1:2+1"}},
      {"\u00B2 x", {"245 1:1+1", R"(222 "x" 1:3+1)", "245 1:4+1"}},
      {"1\u00B2", {"245 1:1+2", "245 1:3+1"}},
      {"1.\u00B2", {"245 1:1+3", "245 1:4+1"}},
      {"\u00BD.5", {"245 1:1+3", "245 1:4+1"}},
      // The Roman numeral eight is Alphabetic: it starts a word.
      {"\u2167", {"222 \"\u2167\" 1:1+1", "245 1:2+1"}},
      {"x\u00B2", {"222 \"x\u00B2\" 1:1+2", "245 1:3+1"}},
  });
}

TEST(Lexer, UnknownCharacters) {
  check({
      {"x & y", {R"(222 "x" 1:1+1)", "245 1:3+1", R"(222 "y" 1:5+1)", "245 1:6+1"}},
      {"a && b", {R"(222 "a" 1:1+1)", "245 1:3+1", "245 1:4+1", R"(222 "b" 1:6+1)", "245 1:7+1"}},
      {"@realtime", {"245 1:1+1", R"(222 "realtime" 1:2+8)", "245 1:10+1"}},
      {"$a", {"245 1:1+1", R"(222 "a" 1:2+1)", "245 1:3+1"}},
      {"a ~ b", {R"(222 "a" 1:1+1)", "245 1:3+1", R"(222 "b" 1:5+1)", "245 1:6+1"}},
      {"\\^`", {"245 1:1+1", "245 1:2+1", "245 1:3+1", "245 1:4+1"}},
      {std::string_view("\x01\x7F\0x", 4),
       {"245 1:1+1", "245 1:2+1", "245 1:3+1", R"(222 "x" 1:4+1)", "245 1:5+1"}},
      {"\u20ACx", {"245 1:1+1", R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\U0001F600x", {"245 1:1+1", R"(222 "x" 1:2+1)", "245 1:3+1"}},
      {"\u00A9\u00B0\u00B1\u00D7", {"245 1:1+1", "245 1:2+1", "245 1:3+1", "245 1:4+1", "245 1:5+1"}},
      {"\u00ABa\u00BB", {"245 1:1+1", R"(222 "a" 1:2+1)", "245 1:3+1", "245 1:4+1"}},
      {"\x80x", {"245 1:1+1", R"(222 "x" 1:2+1)", "245 1:3+1"}},
  });
}

TEST(Lexer, WordCharacters) {
  check({
      // Letters, digits, "_", Turkish letters, Greek, an Arabic-Indic digit, a letter number, U+00AA.
      {"aZ5_\u011F\u0130\u03C9\u0663\u2167\u00AA", {"222 \"aZ5_\u011F\u0130\u03C9\u0663\u2167\u00AA\" 1:1+10", "245 1:11+1"}},
      {"_", {R"(222 "_" 1:1+1)", "245 1:2+1"}},
      {"\u00AA", {"222 \"\u00AA\" 1:1+1", "245 1:2+1"}},
      {"a-b", {R"(222 "a" 1:1+1)", "1 1:2+1", R"(222 "b" 1:3+1)", "245 1:4+1"}},
      {"a@b", {R"(222 "a" 1:1+1)", "245 1:2+1", R"(222 "b" 1:3+1)", "245 1:4+1"}},
      {"a\u20ACb", {R"(222 "a" 1:1+1)", "245 1:2+1", R"(222 "b" 1:3+1)", "245 1:4+1"}},
      {"µs", {"242 1:1+2", "245 1:3+1"}},
  });
}

std::vector<int> kinds(std::string_view text) {
  Lexer lexer(text, SourceFile{"<stdin>"});
  std::vector<int> out;
  for (Token t = lexer.next_token(); t.kind != TokenKind::EndOfInput; t = lexer.next_token()) {
    out.push_back(token_kind_number(t.kind));
  }
  return out;
}

TEST(Lexer, Operators) {
  struct OperatorCase {
    std::string_view text;
    std::vector<int> kinds;
  };
  const OperatorCase cases[] = {
      {"+ - * / % = == != < > <= >= , . .. ..= : ; | ! ? ( ) { } [ ] # -> ::",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
        25, 26, 226, 154, 209}},
      {"=>", {5, 9}},
      {"<-", {8, 1}},
      {"...", {14, 13}},
      {"...=", {14, 13, 5}},
      {"..==", {15, 5}},
      {"===", {6, 5}},
      {"!==", {7, 5}},
      {":::", {209, 16}},
      {"->>", {154, 9}},
      {"--", {1, 1}},
      {"<==", {10, 5}},
      {"a.b", {222, 13, 222}},
      {"f(x)?", {222, 21, 222, 22, 20}},
  };
  for (const auto& c : cases) EXPECT_EQ(kinds(c.text), c.kinds) << c.text;
}

TEST(Lexer, LastSpanAndEnd) {
  Lexer lexer("ab", SourceFile{"main.zv"});
  EXPECT_EQ(lexer.last_span().file.name, "<unknown>");
  EXPECT_EQ(lexer.last_span().line, 0u);
  EXPECT_EQ(lexer.last_span().column, 0u);
  EXPECT_EQ(lexer.last_span().length, 0u);

  EXPECT_EQ(lexer.next_token().text, "ab");
  EXPECT_EQ(lexer.last_span().file.name, "main.zv");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lexer.next_token().kind, TokenKind::EndOfInput);
    EXPECT_EQ(describe(Token{}, lexer.last_span()), "245 1:3+1");
    EXPECT_EQ(lexer.last_span().file.name, "main.zv");
  }
}

// The lexer only borrows the text: tokens keep their own copies.
TEST(Lexer, TokensOutliveTheText) {
  std::string text = "sayı \"metin\"";
  Lexer lexer(text, SourceFile{"<stdin>"});
  Token a = lexer.next_token();
  Token b = lexer.next_token();
  text.assign(text.size(), 'x');
  EXPECT_EQ(a.text, "sayı");
  EXPECT_EQ(b.text, "metin");
}

bool is_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t at = i;
    if (text::decode_utf8(s, i) == text::kReplacement && i - at == 1) return false;
  }
  return true;
}

// Texts glued from the pieces that steer the lexer's branches, stray bytes
// included: lexing always reaches the end, every token starts after the one
// before, and payloads are UTF-8.
TEST(Lexer, ArbitraryTextAlwaysMovesForward) {
  const std::string_view pieces[] = {
      "/", "*", "\"", "'", "\\", "\n", "\r", " ", "her", "biri", "veya", "eğer", "1", ".",
      "=", "-", ":", "\u00B2", "\xFF", "\xE2\x82", "\xEF\xBB\xBF", "ğ", "&", "\t", "x_9",
  };
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(next() >> 28);
    for (int i = 0; i < count; ++i) text += pieces[(next() >> 16) % std::size(pieces)];

    Lexer lexer(text, SourceFile{"<stdin>"});
    std::uint64_t line = 0, column = 0;
    int calls = 0;
    for (;; ++calls) {
      ASSERT_LE(calls, static_cast<int>(text.size()) + 1) << shown(text);
      const Token token = lexer.next_token();
      const Span& span = lexer.last_span();
      ASSERT_TRUE(span.line > line || (span.line == line && span.column > column)) << shown(text);
      ASSERT_GE(span.length, 1u);
      ASSERT_TRUE(is_utf8(token.text)) << shown(text);
      line = span.line;
      column = span.column;
      if (token.kind != TokenKind::EndOfInput) continue;
      Lexer again = lexer;
      again.next_token();
      if (again.last_span().line == line && again.last_span().column == column) break;
    }
  }
}

}  // namespace
}  // namespace zevo::parser
