// Token soup: texts drawn at random from the language's words and punctuation
// always parse to the end, never into a tree with an empty handle in it, and
// to the same trees when each statement is dropped as soon as it is read.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "parser/parser.hpp"
#include "parser/sexpr.hpp"

namespace zevo::parser {
namespace {

constexpr std::array<std::string_view, 96> kWords = {
    "eğer", "if", "ise", "then", "değilse", "else", "veya eğer", "elif", "iken", "while", "için", "for",
    "each", "içinde", "in", "fonksiyon", "fn", "modül", "module", "yap", "do", "son", "end", "dön",
    "return", "sabit", "let", "yeni", "geçir", "paylaş", "değiştir", "dene", "yakala", "doğru", "boş",
    "ve", "veya", "değil", "dur", "geç", "seç", "match", "durum", "case", "yapı", "struct", "bölge",
    "kullan", "use", "içe_aktar", "dışa_aktar", "olarak", "as", "tip", "Bazı", "Hiçbir", "Tamam",
    "Hata", "panic", "asm", "x86_64", "out", "gpio", "hal", "dsk", "PA5", "set_high", "pull_up",
    "konu", "yayıncı", "abone", "katılımcı", "güvenilir", "history", "görev", "öncelik", "period",
    "stack", "olay", "emit", "ms", "KB", "tamsayı", "int", "x", "_", "1", "2.5", "\"s\"", "(", ")",
    "{", "}", "[", "]", "#",
};
constexpr std::array<std::string_view, 22> kPunctuation = {
    "+", "-", "*", "/", "%", "=", "==", "!=", "<", ">", "<=", ",", ".", "..", "..=", ":", "::", ";",
    "|", "!", "?", "->",
};

TEST(ParseRandom, TokenSoupParsesToTheEndWithNoEmptyHandleStatementByStatementToo) {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  auto next = [&state] {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    return state;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const std::size_t length = next() % 120;
    for (std::size_t i = 0; i < length; ++i) {
      const std::uint64_t pick = next();
      text += pick % 4 == 0 ? kPunctuation[pick / 4 % kPunctuation.size()] : kWords[pick / 4 % kWords.size()];
      text += ' ';
    }
    SCOPED_TRACE(text);
    const std::string printed = testing::parse_sexpr(text);
    ASSERT_EQ(printed.find(testing::SexprPrinter::kEmptyHandle), std::string::npos) << printed;
    ASSERT_EQ(testing::read_each_sexpr(text), printed);
  }
}

}  // namespace
}  // namespace zevo::parser
