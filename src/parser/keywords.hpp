// The bilingual keyword table: exact UTF-8 spellings to token kinds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "parser/token.hpp"

namespace zevo::parser {

struct Keyword {
  std::string_view spelling;
  TokenKind kind;
};

// By kind number; the two spellings with a blank are found by the lexer's
// two-word look-ahead and looked up here joined.
inline constexpr std::array<Keyword, 214> KEYWORDS{{
    {"eğer", TokenKind::TrIf},
    {"ise", TokenKind::TrThen},
    {"değilse", TokenKind::TrElse},
    {"veya eğer", TokenKind::TrElif},
    {"iken", TokenKind::TrWhile},
    {"döngü", TokenKind::TrWhile},
    {"için", TokenKind::TrFor},
    {"her biri", TokenKind::TrFor},
    {"içinde", TokenKind::TrIn},
    {"fonksiyon", TokenKind::TrFn},
    {"modül", TokenKind::TrModule},
    {"yap", TokenKind::TrDo},
    {"son", TokenKind::TrEnd},
    {"dön", TokenKind::TrReturn},
    {"sabit", TokenKind::TrConst},
    {"olsun", TokenKind::TrLet},
    {"değişken", TokenKind::TrLet},
    {"yeni", TokenKind::TrNew},
    {"paylaş", TokenKind::TrShare},
    {"değiştir", TokenKind::TrChange},
    {"geçir", TokenKind::TrMove},
    {"dene", TokenKind::TrTry},
    {"yakala", TokenKind::TrCatch},
    {"doğru", TokenKind::TrTrue},
    {"yanlış", TokenKind::TrFalse},
    {"ve", TokenKind::TrAnd},
    {"veya", TokenKind::TrOr},
    {"değil", TokenKind::TrNot},
    {"dur", TokenKind::TrBreak},
    {"geç", TokenKind::TrContinue},
    {"boş", TokenKind::TrNull},
    {"seç", TokenKind::TrMatch},
    {"durum", TokenKind::TrCase},
    {"yapı", TokenKind::TrStruct},
    {"bölge", TokenKind::TrRegion},
    {"kullan", TokenKind::TrUse},
    {"içe_aktar", TokenKind::TrImport},
    {"dışa_aktar", TokenKind::TrExport},
    {"olarak", TokenKind::TrAs},
    {"dan", TokenKind::TrFrom},
    {"den", TokenKind::TrFrom},
    {"açık", TokenKind::TrPub},
    {"Bazı", TokenKind::TrSome},
    {"Hiçbir", TokenKind::TrNone},
    {"Tamam", TokenKind::TrOk},
    {"Hata", TokenKind::TrErr},

    {"if", TokenKind::If},
    {"then", TokenKind::Then},
    {"else", TokenKind::Else},
    {"elif", TokenKind::Elif},
    {"while", TokenKind::While},
    {"for", TokenKind::For},
    {"in", TokenKind::In},
    {"fn", TokenKind::Fn},
    {"function", TokenKind::Fn},
    {"module", TokenKind::Module},
    {"do", TokenKind::Do},
    {"end", TokenKind::End},
    {"return", TokenKind::Return},
    {"const", TokenKind::Const},
    {"let", TokenKind::Let},
    {"variable", TokenKind::Variable},
    {"new", TokenKind::New},
    {"share", TokenKind::Share},
    {"move", TokenKind::Move},
    {"try", TokenKind::Try},
    {"catch", TokenKind::Catch},
    {"true", TokenKind::True},
    {"false", TokenKind::False},
    {"and", TokenKind::And},
    {"or", TokenKind::Or},
    {"not", TokenKind::Not},
    {"break", TokenKind::Break},
    {"continue", TokenKind::Continue},
    {"null", TokenKind::Null},
    {"match", TokenKind::Match},
    {"case", TokenKind::Case},
    {"struct", TokenKind::Struct},
    {"region", TokenKind::Region},
    {"use", TokenKind::Use},
    {"tip", TokenKind::Tip},
    {"type", TokenKind::Type},
    {"import", TokenKind::Import},
    {"export", TokenKind::Export},
    {"as", TokenKind::As},
    {"from", TokenKind::From},
    {"pub", TokenKind::Pub},
    {"Some", TokenKind::Some},
    {"None", TokenKind::None},
    {"Ok", TokenKind::Ok},
    {"Err", TokenKind::Err},
    {"panic", TokenKind::Panic},

    {"katılımcı", TokenKind::TrParticipant},
    {"konu", TokenKind::TrTopic},
    {"yayıncı", TokenKind::TrPublisher},
    {"abone", TokenKind::TrSubscriber},
    {"yazıcı", TokenKind::TrWriter},
    {"okuyucu", TokenKind::TrReader},
    {"participant", TokenKind::Participant},
    {"topic", TokenKind::Topic},
    {"publisher", TokenKind::Publisher},
    {"subscriber", TokenKind::Subscriber},
    {"writer", TokenKind::Writer},
    {"reader", TokenKind::Reader},
    {"güvenilir", TokenKind::TrReliable},
    {"elinden_gelen", TokenKind::TrBestEffort},
    {"geçmiş", TokenKind::TrHistory},
    {"kalıcılık", TokenKind::TrDurability},
    {"süre_sınırı", TokenKind::TrDeadline},
    {"ömür", TokenKind::TrLifespan},
    {"geçici", TokenKind::TrVolatile},
    {"kalıcı", TokenKind::TrTransient},
    {"sürekli", TokenKind::TrPersistent},
    {"reliable", TokenKind::Reliable},
    {"best_effort", TokenKind::BestEffort},
    {"history", TokenKind::History},
    {"durability", TokenKind::Durability},
    {"deadline", TokenKind::Deadline},
    {"lifespan", TokenKind::Lifespan},
    {"volatile", TokenKind::Volatile},
    {"transient", TokenKind::Transient},
    {"persistent", TokenKind::Persistent},
    {"yayınla", TokenKind::TrPublish},
    {"al", TokenKind::TrReceive},
    {"çek", TokenKind::TrTake},
    {"bekle", TokenKind::TrWait},
    {"alan", TokenKind::TrDomain},
    {"publish", TokenKind::Publish},
    {"receive", TokenKind::Receive},
    {"take", TokenKind::Take},
    {"wait", TokenKind::Wait},
    {"domain", TokenKind::Domain},

    {"asm", TokenKind::Asm},
    {"x86_64", TokenKind::X86_64},
    {"arm64", TokenKind::Arm64},
    {"aarch64", TokenKind::Arm64},
    {"riscv", TokenKind::Riscv},
    {"riscv64", TokenKind::Riscv},

    {"hal", TokenKind::Hal},
    {"gpio", TokenKind::Gpio},
    {"uart", TokenKind::Uart},
    {"spi", TokenKind::Spi},
    {"i2c", TokenKind::I2c},
    {"adc", TokenKind::Adc},
    {"dac", TokenKind::Dac},
    {"timer", TokenKind::Timer},
    {"pwm", TokenKind::Pwm},
    {"dma", TokenKind::Dma},
    {"dsk", TokenKind::TrHal},
    {"donanım_soyutlama_katmanı", TokenKind::TrHal},
    {"giriş_çıkış", TokenKind::TrGpio},
    {"genel_amaçlı_gç", TokenKind::TrGpio},
    {"seri_iletişim", TokenKind::TrUart},
    {"analog_dijital", TokenKind::TrAdc},
    {"dijital_analog", TokenKind::TrDac},
    {"zamanlayıcı", TokenKind::TrTimer},
    {"darbe_genişlik", TokenKind::TrPwm},
    {"doğrudan_bellek", TokenKind::TrDma},
    {"as_output", TokenKind::AsOutput},
    {"as_input", TokenKind::AsInput},
    {"as_alternate", TokenKind::AsAlternate},
    {"pull_up", TokenKind::PullUp},
    {"pull_down", TokenKind::PullDown},
    {"open_drain", TokenKind::OpenDrain},
    {"push_pull", TokenKind::PushPull},
    {"çıkış_olarak", TokenKind::TrAsOutput},
    {"giriş_olarak", TokenKind::TrAsInput},
    {"alternatif_olarak", TokenKind::TrAsAlternate},
    {"yukarı_çek", TokenKind::TrPullUp},
    {"aşağı_çek", TokenKind::TrPullDown},
    {"açık_drenaj", TokenKind::TrOpenDrain},
    {"itme_çek", TokenKind::TrPushPull},
    {"set_high", TokenKind::SetHigh},
    {"set_low", TokenKind::SetLow},
    {"toggle", TokenKind::Toggle},
    {"is_high", TokenKind::IsHigh},
    {"is_low", TokenKind::IsLow},
    {"yüksek_yap", TokenKind::TrSetHigh},
    {"alçak_yap", TokenKind::TrSetLow},
    {"yüksek_mi", TokenKind::TrIsHigh},
    {"alçak_mı", TokenKind::TrIsLow},

    {"tamsayı", TokenKind::TrInt},
    {"ondalık", TokenKind::TrFloat},
    {"yazı", TokenKind::TrString},
    {"mantıksal", TokenKind::TrBool},
    {"liste", TokenKind::TrList},
    {"demet", TokenKind::TrTuple},
    {"int", TokenKind::Int},
    {"integer", TokenKind::Int},
    {"float", TokenKind::Float},
    {"string", TokenKind::String},
    {"bool", TokenKind::Bool},
    {"boolean", TokenKind::Bool},
    {"list", TokenKind::List},
    {"tuple", TokenKind::Tuple},

    {"task", TokenKind::Task},
    {"priority", TokenKind::Priority},
    {"period", TokenKind::Period},
    {"stack", TokenKind::Stack},
    {"on", TokenKind::On},
    {"emit", TokenKind::Emit},
    {"yield", TokenKind::Yield},
    {"görev", TokenKind::TrTask},
    {"öncelik", TokenKind::TrPriority},
    {"periyot", TokenKind::TrPeriod},
    {"yığın", TokenKind::TrStack},
    {"olay", TokenKind::TrOn},
    {"yayınla_olay", TokenKind::TrEmit},
    {"devret", TokenKind::TrYield},

    {"ms", TokenKind::UnitMs},
    {"us", TokenKind::UnitUs},
    {"\xC2\xB5s", TokenKind::UnitUs},  // the micro sign U+00B5, not the Greek mu
    {"s", TokenKind::UnitS},
    {"KB", TokenKind::UnitKb},
}};

namespace keyword_detail {

inline constexpr std::size_t kLongestSpelling = [] {
  std::size_t n = 0;
  for (const auto& k : KEYWORDS) n = k.spelling.size() > n ? k.spelling.size() : n;
  return n;
}();

// Per length, the first bytes of the spellings of that length: most words of a
// document are names, and most names are told from every spelling by these two
// without a look-up.
struct FirstBytes {
  std::uint64_t bits[4] = {};
  constexpr void add(unsigned char byte) { bits[byte >> 6] |= std::uint64_t{1} << (byte & 63); }
  constexpr bool has(unsigned char byte) const { return (bits[byte >> 6] >> (byte & 63)) & 1; }
};

inline constexpr auto kFirstBytes = [] {
  std::array<FirstBytes, kLongestSpelling + 1> table{};
  for (const auto& k : KEYWORDS) table[k.spelling.size()].add(static_cast<unsigned char>(k.spelling[0]));
  return table;
}();

}  // namespace keyword_detail

// The look-up in the hashed table of spellings, for a word of a spelling's
// length and first byte.
std::optional<TokenKind> keyword_in_slots(std::string_view word);

// The kind of the entry spelled exactly `word` (byte for byte, case-sensitive), if any.
inline std::optional<TokenKind> lookup_keyword(std::string_view word) {
  using namespace keyword_detail;
  if (word.empty() || word.size() > kLongestSpelling) return std::nullopt;
  if (!kFirstBytes[word.size()].has(static_cast<unsigned char>(word[0]))) return std::nullopt;
  return keyword_in_slots(word);
}

}  // namespace zevo::parser
