// Fixed tables of the parser, in the order the language defines them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "parser/keywords.hpp"
#include "parser/token.hpp"

namespace zevo::parser::tables {

// What a binary operator builds besides a plain `Binary`.
enum class BinaryForm : std::uint8_t { Plain, Range, InclusiveRange, Cast };

struct BindingPower {
  TokenKind kind;
  std::uint8_t power;
  std::string_view op;  // the `Binary.op` stored; empty for ranges and casts
  BinaryForm form;
};

inline constexpr BindingPower BINDING_POWERS[] = {
    {TokenKind::TrAnd, 1, "and", BinaryForm::Plain},
    {TokenKind::TrOr, 1, "or", BinaryForm::Plain},
    {TokenKind::And, 1, "and", BinaryForm::Plain},
    {TokenKind::Or, 1, "or", BinaryForm::Plain},
    {TokenKind::EqualEqual, 2, "==", BinaryForm::Plain},
    {TokenKind::NotEqual, 2, "!=", BinaryForm::Plain},
    {TokenKind::DotDot, 2, "", BinaryForm::Range},
    {TokenKind::DotDotEqual, 2, "", BinaryForm::InclusiveRange},
    {TokenKind::Less, 3, "<", BinaryForm::Plain},
    {TokenKind::Greater, 3, ">", BinaryForm::Plain},
    {TokenKind::LessEqual, 3, "<=", BinaryForm::Plain},
    {TokenKind::GreaterEqual, 3, ">=", BinaryForm::Plain},
    {TokenKind::TrAs, 3, "", BinaryForm::Cast},
    {TokenKind::As, 3, "", BinaryForm::Cast},
    {TokenKind::Plus, 4, "+", BinaryForm::Plain},
    {TokenKind::Minus, 4, "-", BinaryForm::Plain},
    {TokenKind::Star, 5, "*", BinaryForm::Plain},
    {TokenKind::Slash, 5, "/", BinaryForm::Plain},
    {TokenKind::Percent, 5, "%", BinaryForm::Plain},
};

// The operand of a prefix operator binds tighter than every binary operator.
inline constexpr std::uint8_t kPrefixPower = 6;

// BINDING_POWERS by token kind number; -1 where a kind is no binary operator.
inline constexpr auto kBindingPowerIndex = [] {
  std::array<std::int8_t, kTokenKindCount> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < std::size(BINDING_POWERS); ++i) {
    index[token_kind_number(BINDING_POWERS[i].kind)] = static_cast<std::int8_t>(i);
  }
  return index;
}();

inline const BindingPower* binding_power(TokenKind kind) {
  const std::int8_t i = kBindingPowerIndex[token_kind_number(kind)];
  return i < 0 ? nullptr : &BINDING_POWERS[i];
}

// The English peripheral names, by kind minus Gpio (and minus TrGpio for the Turkish words).
inline constexpr std::string_view PERIPHERAL_NAMES[] = {"gpio", "uart", "spi", "i2c", "adc",
                                                       "dac",  "timer", "pwm", "dma"};

// Kinds whose name the parser stores, with that name.
struct Spelling {
  TokenKind kind;
  std::string_view text;
};

// The first spelling of a keyword kind in KEYWORDS.
constexpr std::string_view spelling_of(TokenKind kind) {
  for (const Keyword& keyword : KEYWORDS) {
    if (keyword.kind == kind) return keyword.spelling;
  }
  return {};
}

constexpr Spelling spelled(TokenKind kind) { return {kind, spelling_of(kind)}; }

// Pin operations: a keyword operation is stored as it is spelled. TrToggle has
// no spelling and never reaches the parser.
inline constexpr Spelling PIN_OPERATIONS[] = {
    spelled(TokenKind::AsOutput),   spelled(TokenKind::AsInput),   spelled(TokenKind::AsAlternate),
    spelled(TokenKind::TrAsOutput), spelled(TokenKind::TrAsInput), spelled(TokenKind::TrAsAlternate),
    spelled(TokenKind::SetHigh),    spelled(TokenKind::SetLow),    spelled(TokenKind::Toggle),
    spelled(TokenKind::IsHigh),     spelled(TokenKind::IsLow),     spelled(TokenKind::TrSetHigh),
    spelled(TokenKind::TrSetLow),   spelled(TokenKind::TrIsHigh),  spelled(TokenKind::TrIsLow),
};

// Pin configuration arguments: the English words are stored by their variant
// names, the Turkish ones as they are spelled.
inline constexpr Spelling PIN_ARGUMENTS[] = {
    {TokenKind::PullUp, "PullUp"},       {TokenKind::PullDown, "PullDown"},
    {TokenKind::OpenDrain, "OpenDrain"}, {TokenKind::PushPull, "PushPull"},
    spelled(TokenKind::TrPullUp),        spelled(TokenKind::TrPullDown),
    spelled(TokenKind::TrOpenDrain),     spelled(TokenKind::TrPushPull),
};

// Type words as `parse_type` names them: the Turkish ones as spelled, the
// English ones by one name for all their spellings.
inline constexpr Spelling TYPE_NAMES[] = {
    spelled(TokenKind::TrInt),    spelled(TokenKind::TrFloat),     spelled(TokenKind::TrString),
    spelled(TokenKind::TrBool),   {TokenKind::Int, "integer"},     {TokenKind::Float, "float"},
    {TokenKind::String, "string"}, {TokenKind::Bool, "boolean"},
};

// Turkish type words that may also name a parameter.
inline constexpr Spelling PARAMETER_TYPE_WORDS[] = {
    spelled(TokenKind::TrInt),  spelled(TokenKind::TrFloat), spelled(TokenKind::TrString),
    spelled(TokenKind::TrBool), spelled(TokenKind::TrList),
};

template <std::size_t N>
constexpr const std::string_view* find_spelling(const Spelling (&table)[N], TokenKind kind) {
  for (const Spelling& s : table) {
    if (s.kind == kind) return &s.text;
  }
  return nullptr;
}

}  // namespace zevo::parser::tables
