#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "parser/keywords.hpp"
#include "parser/lexer.hpp"
#include "parser/token.hpp"
#include "text/utf8.hpp"

namespace zevo::parser {
namespace {

struct Spelling {
  std::string_view text;
  int kind;
};

// Written out from the language's tables by number, independently of KEYWORDS.
constexpr Spelling kSpellings[] = {
    {"eğer", 27}, {"ise", 28}, {"değilse", 29}, {"veya eğer", 30}, {"iken", 31}, {"döngü", 31},
    {"için", 32}, {"her biri", 32}, {"içinde", 33}, {"fonksiyon", 34}, {"modül", 35}, {"yap", 36},
    {"son", 37}, {"dön", 38}, {"sabit", 39}, {"olsun", 40}, {"değişken", 40}, {"yeni", 41},
    {"paylaş", 42}, {"değiştir", 43}, {"geçir", 44}, {"dene", 45}, {"yakala", 46}, {"doğru", 47},
    {"yanlış", 48}, {"ve", 49}, {"veya", 50}, {"değil", 51}, {"dur", 52}, {"geç", 53}, {"boş", 54},
    {"seç", 55}, {"durum", 56}, {"yapı", 57}, {"bölge", 58}, {"kullan", 59}, {"içe_aktar", 60},
    {"dışa_aktar", 61}, {"olarak", 62}, {"dan", 63}, {"den", 63}, {"açık", 64}, {"Bazı", 65},
    {"Hiçbir", 66}, {"Tamam", 67}, {"Hata", 68},
    {"if", 69}, {"then", 70}, {"else", 71}, {"elif", 72}, {"while", 73}, {"for", 74}, {"in", 75},
    {"fn", 76}, {"function", 76}, {"module", 77}, {"do", 78}, {"end", 79}, {"return", 80},
    {"const", 81}, {"let", 82}, {"variable", 83}, {"new", 84}, {"share", 85}, {"move", 86},
    {"try", 87}, {"catch", 88}, {"true", 89}, {"false", 90}, {"and", 91}, {"or", 92}, {"not", 93},
    {"break", 94}, {"continue", 95}, {"null", 96}, {"match", 97}, {"case", 98}, {"struct", 99},
    {"region", 100}, {"use", 101}, {"tip", 102}, {"type", 103}, {"import", 104}, {"export", 105},
    {"as", 106}, {"from", 107}, {"pub", 108}, {"Some", 109}, {"None", 110}, {"Ok", 111},
    {"Err", 112}, {"panic", 113},
    {"katılımcı", 114}, {"konu", 115}, {"yayıncı", 116}, {"abone", 117}, {"yazıcı", 118},
    {"okuyucu", 119}, {"participant", 120}, {"topic", 121}, {"publisher", 122},
    {"subscriber", 123}, {"writer", 124}, {"reader", 125}, {"güvenilir", 126},
    {"elinden_gelen", 127}, {"geçmiş", 128}, {"kalıcılık", 129}, {"süre_sınırı", 130},
    {"ömür", 131}, {"geçici", 132}, {"kalıcı", 133}, {"sürekli", 134}, {"reliable", 135},
    {"best_effort", 136}, {"history", 137}, {"durability", 138}, {"deadline", 139},
    {"lifespan", 140}, {"volatile", 141}, {"transient", 142}, {"persistent", 143},
    {"yayınla", 144}, {"al", 145}, {"çek", 146}, {"bekle", 147}, {"alan", 148}, {"publish", 149},
    {"receive", 150}, {"take", 151}, {"wait", 152}, {"domain", 153},
    {"asm", 155}, {"x86_64", 156}, {"arm64", 157}, {"aarch64", 157}, {"riscv", 158},
    {"riscv64", 158},
    {"hal", 165}, {"gpio", 166}, {"uart", 167}, {"spi", 168}, {"i2c", 169}, {"adc", 170},
    {"dac", 171}, {"timer", 172}, {"pwm", 173}, {"dma", 174}, {"dsk", 175},
    {"donanım_soyutlama_katmanı", 175}, {"giriş_çıkış", 176}, {"genel_amaçlı_gç", 176},
    {"seri_iletişim", 177}, {"analog_dijital", 180}, {"dijital_analog", 181},
    {"zamanlayıcı", 182}, {"darbe_genişlik", 183}, {"doğrudan_bellek", 184}, {"as_output", 185},
    {"as_input", 186}, {"as_alternate", 187}, {"pull_up", 188}, {"pull_down", 189},
    {"open_drain", 190}, {"push_pull", 191}, {"çıkış_olarak", 192}, {"giriş_olarak", 193},
    {"alternatif_olarak", 194}, {"yukarı_çek", 195}, {"aşağı_çek", 196}, {"açık_drenaj", 197},
    {"itme_çek", 198}, {"set_high", 199}, {"set_low", 200}, {"toggle", 201}, {"is_high", 202},
    {"is_low", 203}, {"yüksek_yap", 204}, {"alçak_yap", 205}, {"yüksek_mi", 207},
    {"alçak_mı", 208},
    {"tamsayı", 210}, {"ondalık", 211}, {"yazı", 212}, {"mantıksal", 213}, {"liste", 214},
    {"demet", 215}, {"int", 216}, {"integer", 216}, {"float", 217}, {"string", 218},
    {"bool", 219}, {"boolean", 219}, {"list", 220}, {"tuple", 221},
    {"task", 227}, {"priority", 228}, {"period", 229}, {"stack", 230}, {"on", 231}, {"emit", 232},
    {"yield", 233}, {"görev", 234}, {"öncelik", 235}, {"periyot", 236}, {"yığın", 237},
    {"olay", 238}, {"yayınla_olay", 239}, {"devret", 240},
    {"ms", 241}, {"us", 242}, {"\xC2\xB5s", 242}, {"s", 243}, {"KB", 244},
};

int number(TokenKind kind) { return token_kind_number(kind); }

bool is_spelling(std::string_view text) {
  for (const auto& s : kSpellings)
    if (s.text == text) return true;
  return false;
}

TEST(Keywords, TableHasExactlyTheLanguagesSpellings) {
  EXPECT_EQ(std::size(kSpellings), 214u);
  EXPECT_EQ(KEYWORDS.size(), 214u);
  std::set<int> kinds;
  for (const auto& s : kSpellings) kinds.insert(s.kind);
  EXPECT_EQ(kinds.size(), 202u);
  for (const auto& s : kSpellings) {
    auto kind = lookup_keyword(s.text);
    ASSERT_TRUE(kind.has_value()) << s.text;
    EXPECT_EQ(number(*kind), s.kind) << s.text;
  }
}

// Each spelling alone is one token of its kind whose span covers it, then the end.
TEST(Keywords, EverySpellingLexesToItsKind) {
  for (const auto& s : kSpellings) {
    Lexer lexer(s.text, SourceFile{"<stdin>"});
    const Token token = lexer.next_token();
    EXPECT_EQ(number(token.kind), s.kind) << s.text;
    EXPECT_TRUE(token.text.empty()) << s.text;
    EXPECT_EQ(lexer.last_span().column, 1u) << s.text;
    EXPECT_EQ(lexer.last_span().length, text::char_count(s.text)) << s.text;
    EXPECT_EQ(lexer.next_token().kind, TokenKind::EndOfInput) << s.text;
  }
}

// Changing, dropping or adding one byte leaves no keyword unless the result is itself a spelling.
TEST(Keywords, OneByteOffIsNoKeyword) {
  for (const auto& s : kSpellings) {
    std::vector<std::string> variants;
    const std::string base(s.text);
    for (std::size_t i = 0; i < base.size(); ++i) {
      for (unsigned char flip : {0x01, 0x20}) {
        std::string v = base;
        v[i] = static_cast<char>(static_cast<unsigned char>(v[i]) ^ flip);
        variants.push_back(v);
      }
    }
    variants.push_back(base.substr(0, base.size() - 1));
    variants.push_back(base.substr(1));
    variants.push_back(base + "x");
    variants.push_back("x" + base);
    for (const auto& v : variants) {
      if (is_spelling(v)) continue;
      EXPECT_FALSE(lookup_keyword(v).has_value()) << s.text << " -> " << v;
    }
  }
}

// Through the lexer: an ASCII letter changed, or another letter appended, gives an identifier.
TEST(Keywords, OneLetterOffLexesAsIdentifier) {
  for (const auto& s : kSpellings) {
    if (s.text.find(' ') != std::string_view::npos) continue;
    const std::string base(s.text);
    std::vector<std::string> variants{base + "q", base + "ş"};
    for (std::size_t i = 0; i < base.size(); ++i) {
      const char c = base[i];
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        std::string v = base;
        v[i] = static_cast<char>(c ^ 0x20);  // the other case
        variants.push_back(v);
      }
    }
    for (const auto& v : variants) {
      if (is_spelling(v)) continue;
      Lexer lexer(v, SourceFile{"<stdin>"});
      const Token token = lexer.next_token();
      EXPECT_EQ(token.kind, TokenKind::Identifier) << v;
      EXPECT_EQ(token.text, v);
      EXPECT_EQ(lexer.next_token().kind, TokenKind::EndOfInput) << v;
    }
  }
}

TEST(Keywords, ShortWordsAndNearMisses) {
  struct Case {
    std::string_view word;
    int kind;
  };
  const Case cases[] = {
      {"s", 243}, {"al", 145}, {"ve", 49}, {"on", 231}, {"in", 75}, {"as", 106},
      {"do", 78}, {"ms", 241}, {"us", 242}, {"tip", 102}, {"son", 37}, {"alan", 148},
      {"konu", 115}, {"olay", 238}, {"list", 220}, {"stack", 230}, {"timer", 172},
      {"değiştir", 43},
      // Units the task parser reads by their text, other capitals, the Greek mu for the micro sign.
      {"kb", 222}, {"MB", 222}, {"mb", 222}, {"ns", 222}, {"IF", 222}, {"bazı", 222},
      {"\xCE\xBCs", 222}, {"Eğer", 222}, {"her", 222}, {"biri", 222}, {"eger", 222},
  };
  for (const auto& c : cases) {
    Lexer lexer(c.word, SourceFile{"<stdin>"});
    EXPECT_EQ(number(lexer.next_token().kind), c.kind) << c.word;
  }
}

TEST(Keywords, KindsWithoutSpelling) {
  const std::set<int> never = {159, 160, 161, 162, 163, 164, 178, 179, 206};
  for (const auto& k : KEYWORDS) EXPECT_EQ(never.count(number(k.kind)), 0u) << k.spelling;
}

TEST(TokenEq, KindAndPayload) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    Token a, b;
    bool equal;
  };
  const Case cases[] = {
      {identifier_token("x"), identifier_token("x"), true},
      {identifier_token("x"), identifier_token("y"), false},
      {identifier_token("x"), string_token("x"), false},
      {string_token("ğ"), string_token("ğ"), true},
      {string_token(""), string_token(std::string(1, '\0')), false},
      {integer_token(5), float_token(5.0), false},
      {integer_token(5), integer_token(5), true},
      {integer_token(5), integer_token(-5), false},
      {float_token(0.0), float_token(-0.0), true},
      {float_token(1.5), float_token(1.5), true},
      {float_token(nan), float_token(nan), false},
      {Token{TokenKind::LeftParen}, Token{TokenKind::LeftParen}, true},
      {Token{TokenKind::LeftParen}, Token{TokenKind::RightParen}, false},
      {Token{TokenKind::TrEnd}, Token{TokenKind::End}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(token_eq(c.a, c.b), c.equal) << number(c.a.kind) << " " << number(c.b.kind);
    EXPECT_EQ(token_eq(c.b, c.a), c.equal) << number(c.a.kind) << " " << number(c.b.kind);
  }
}

TEST(CloneToken, OwnsItsOwnText) {
  Token original = identifier_token("sayı");
  Token copy = clone_token(original);
  original.text[0] = 'S';
  EXPECT_EQ(copy.kind, TokenKind::Identifier);
  EXPECT_EQ(copy.text, "sayı");

  const Token real = clone_token(float_token(2.5));
  EXPECT_EQ(real.kind, TokenKind::FloatLiteral);
  EXPECT_EQ(real.real, 2.5);
  EXPECT_EQ(clone_token(integer_token(-7)).integer, -7);
}

}  // namespace
}  // namespace zevo::parser
