// The front end's vocabulary: token kinds with their fixed numbers, tokens with
// their payloads, and where a token stands in the text.
//
// Naming of the keyword kinds: an English kind carries the English word; its
// Turkish counterpart carries the same name with the prefix `Tr` (`If` is "if",
// `TrIf` is "eğer"). A kind with no counterpart in the other language has a
// name of its own (`Variable`, `Tip`, `Panic`, `TrChange`).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zevo::parser {

// The numbers are fixed, gaps included: the parser indexes tables by them and
// tests some of them as ranges.
enum class TokenKind : std::uint8_t {
  // Operators and punctuation.
  Plus = 0,
  Minus = 1,
  Star = 2,
  Slash = 3,
  Percent = 4,
  Equal = 5,
  EqualEqual = 6,
  NotEqual = 7,
  Less = 8,
  Greater = 9,
  LessEqual = 10,
  GreaterEqual = 11,
  Comma = 12,
  Dot = 13,
  DotDot = 14,
  DotDotEqual = 15,
  Colon = 16,
  Semicolon = 17,
  Pipe = 18,
  Bang = 19,
  Question = 20,
  LeftParen = 21,
  RightParen = 22,
  LeftBrace = 23,
  RightBrace = 24,
  LeftBracket = 25,
  RightBracket = 26,

  // Core keywords, Turkish (27 to 68).
  TrIf = 27,        // eğer
  TrThen = 28,      // ise
  TrElse = 29,      // değilse
  TrElif = 30,      // veya eğer
  TrWhile = 31,     // iken, döngü
  TrFor = 32,       // için, her biri
  TrIn = 33,        // içinde
  TrFn = 34,        // fonksiyon
  TrModule = 35,    // modül
  TrDo = 36,        // yap
  TrEnd = 37,       // son
  TrReturn = 38,    // dön
  TrConst = 39,     // sabit
  TrLet = 40,       // olsun, değişken
  TrNew = 41,       // yeni
  TrShare = 42,     // paylaş
  TrChange = 43,    // değiştir (no English counterpart)
  TrMove = 44,      // geçir
  TrTry = 45,       // dene
  TrCatch = 46,     // yakala
  TrTrue = 47,      // doğru
  TrFalse = 48,     // yanlış
  TrAnd = 49,       // ve
  TrOr = 50,        // veya
  TrNot = 51,       // değil
  TrBreak = 52,     // dur
  TrContinue = 53,  // geç
  TrNull = 54,      // boş
  TrMatch = 55,     // seç
  TrCase = 56,      // durum
  TrStruct = 57,    // yapı
  TrRegion = 58,    // bölge
  TrUse = 59,       // kullan
  TrImport = 60,    // içe_aktar
  TrExport = 61,    // dışa_aktar
  TrAs = 62,        // olarak
  TrFrom = 63,      // dan, den
  TrPub = 64,       // açık
  TrSome = 65,      // Bazı
  TrNone = 66,      // Hiçbir
  TrOk = 67,        // Tamam
  TrErr = 68,       // Hata

  // Core keywords, English (69 to 113).
  If = 69,
  Then = 70,
  Else = 71,
  Elif = 72,
  While = 73,
  For = 74,
  In = 75,
  Fn = 76,  // fn, function
  Module = 77,
  Do = 78,
  End = 79,
  Return = 80,
  Const = 81,
  Let = 82,
  Variable = 83,  // a second English kind against TrLet
  New = 84,
  Share = 85,
  Move = 86,
  Try = 87,
  Catch = 88,
  True = 89,
  False = 90,
  And = 91,
  Or = 92,
  Not = 93,
  Break = 94,
  Continue = 95,
  Null = 96,
  Match = 97,
  Case = 98,
  Struct = 99,
  Region = 100,
  Use = 101,
  Tip = 102,  // "tip": its own kind in the English block, beside Type
  Type = 103,
  Import = 104,
  Export = 105,
  As = 106,
  From = 107,
  Pub = 108,
  Some = 109,
  None = 110,
  Ok = 111,
  Err = 112,
  Panic = 113,

  // Publish/subscribe words.
  TrParticipant = 114,  // katılımcı
  TrTopic = 115,        // konu
  TrPublisher = 116,    // yayıncı
  TrSubscriber = 117,   // abone
  TrWriter = 118,       // yazıcı
  TrReader = 119,       // okuyucu
  Participant = 120,
  Topic = 121,
  Publisher = 122,
  Subscriber = 123,
  Writer = 124,
  Reader = 125,
  TrReliable = 126,    // güvenilir
  TrBestEffort = 127,  // elinden_gelen
  TrHistory = 128,     // geçmiş
  TrDurability = 129,  // kalıcılık
  TrDeadline = 130,    // süre_sınırı
  TrLifespan = 131,    // ömür
  TrVolatile = 132,    // geçici
  TrTransient = 133,   // kalıcı
  TrPersistent = 134,  // sürekli
  Reliable = 135,
  BestEffort = 136,
  History = 137,
  Durability = 138,
  Deadline = 139,
  Lifespan = 140,
  Volatile = 141,
  Transient = 142,
  Persistent = 143,
  TrPublish = 144,  // yayınla
  TrReceive = 145,  // al
  TrTake = 146,     // çek
  TrWait = 147,     // bekle
  TrDomain = 148,   // alan
  Publish = 149,
  Receive = 150,
  Take = 151,
  Wait = 152,
  Domain = 153,

  Arrow = 154,

  // Inline assembly.
  Asm = 155,
  X86_64 = 156,
  Arm64 = 157,  // arm64, aarch64
  Riscv = 158,  // riscv, riscv64
  // No spelling and no use: they keep the later numbers in place.
  Reserved159 = 159,
  Reserved160 = 160,
  Reserved161 = 161,
  Reserved162 = 162,
  Reserved163 = 163,
  Reserved164 = 164,

  // Hardware words: peripherals in the order gpio, uart, spi, i2c, adc, dac, timer, pwm, dma.
  Hal = 165,
  Gpio = 166,
  Uart = 167,
  Spi = 168,
  I2c = 169,
  Adc = 170,
  Dac = 171,
  Timer = 172,
  Pwm = 173,
  Dma = 174,
  TrHal = 175,    // dsk, donanım_soyutlama_katmanı
  TrGpio = 176,   // giriş_çıkış, genel_amaçlı_gç
  TrUart = 177,   // seri_iletişim
  TrSpi = 178,    // no spelling
  TrI2c = 179,    // no spelling
  TrAdc = 180,    // analog_dijital
  TrDac = 181,    // dijital_analog
  TrTimer = 182,  // zamanlayıcı
  TrPwm = 183,    // darbe_genişlik
  TrDma = 184,    // doğrudan_bellek
  AsOutput = 185,
  AsInput = 186,
  AsAlternate = 187,
  PullUp = 188,
  PullDown = 189,
  OpenDrain = 190,
  PushPull = 191,
  TrAsOutput = 192,     // çıkış_olarak
  TrAsInput = 193,      // giriş_olarak
  TrAsAlternate = 194,  // alternatif_olarak
  TrPullUp = 195,       // yukarı_çek
  TrPullDown = 196,     // aşağı_çek
  TrOpenDrain = 197,    // açık_drenaj
  TrPushPull = 198,     // itme_çek
  SetHigh = 199,
  SetLow = 200,
  Toggle = 201,
  IsHigh = 202,
  IsLow = 203,
  TrSetHigh = 204,  // yüksek_yap
  TrSetLow = 205,   // alçak_yap
  TrToggle = 206,   // no spelling ("değiştir" is TrChange)
  TrIsHigh = 207,   // yüksek_mi
  TrIsLow = 208,    // alçak_mı

  ColonColon = 209,

  // Type words.
  TrInt = 210,     // tamsayı
  TrFloat = 211,   // ondalık
  TrString = 212,  // yazı
  TrBool = 213,    // mantıksal
  TrList = 214,    // liste
  TrTuple = 215,   // demet
  Int = 216,       // int, integer
  Float = 217,
  String = 218,
  Bool = 219,  // bool, boolean
  List = 220,
  Tuple = 221,

  // Words and literals with a payload, and "#".
  Identifier = 222,
  IntegerLiteral = 223,
  FloatLiteral = 224,
  StringLiteral = 225,
  Hash = 226,

  // Task and event words.
  Task = 227,
  Priority = 228,
  Period = 229,
  Stack = 230,
  On = 231,
  Emit = 232,
  Yield = 233,
  TrTask = 234,      // görev
  TrPriority = 235,  // öncelik
  TrPeriod = 236,    // periyot
  TrStack = 237,     // yığın
  TrOn = 238,        // olay
  TrEmit = 239,      // yayınla_olay
  TrYield = 240,     // devret

  // Units.
  UnitMs = 241,  // ms
  UnitUs = 242,  // us, µs (U+00B5)
  UnitS = 243,   // s
  UnitKb = 244,  // KB

  // End of the text, a character the lexer does not know, or a number it cannot convert.
  EndOfInput = 245,
};

inline constexpr int kTokenKindCount = 246;

constexpr std::uint8_t token_kind_number(TokenKind kind) { return static_cast<std::uint8_t>(kind); }

// A kind and the payload it carries: `text` for Identifier and StringLiteral
// (UTF-8, owned), `integer` for IntegerLiteral, `real` for FloatLiteral.
// The payload fields of every other kind stay at their defaults.
struct Token {
  TokenKind kind = TokenKind::EndOfInput;
  std::string text{};
  std::int64_t integer = 0;
  double real = 0.0;
};

// Inline: the lexer makes one for most words of a text.
inline Token identifier_token(std::string_view text) {
  return Token{.kind = TokenKind::Identifier, .text = std::string(text)};
}
Token string_token(std::string text);
Token integer_token(std::int64_t value);
Token float_token(double value);

// A new token of the same kind with its own copy of the payload.
Token clone_token(const Token& token);

// Same kind and, for the payload kinds, the same payload; a NaN float equals nothing.
bool token_eq(const Token& a, const Token& b);

// The description of the text being lexed.
struct SourceFile {
  std::string name{};
};

// Where a token stands: its first character's line and column (from 1, the
// column counted in Unicode scalar values), and `length`, the column after its
// last character minus `column`, or 1 when that is not positive.
struct Span {
  SourceFile file{};
  std::uint64_t line = 0;
  std::uint64_t column = 0;
  std::uint64_t length = 0;
};

}  // namespace zevo::parser
