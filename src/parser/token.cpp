#include "parser/token.hpp"

#include <utility>

namespace zevo::parser {

// Built in place: moving a short string copies it.
Token string_token(std::string text) {
  return Token{.kind = TokenKind::StringLiteral, .text = std::move(text)};
}

Token integer_token(std::int64_t value) {
  return Token{.kind = TokenKind::IntegerLiteral, .integer = value};
}

Token float_token(double value) { return Token{.kind = TokenKind::FloatLiteral, .real = value}; }

Token clone_token(const Token& token) { return token; }

bool token_eq(const Token& a, const Token& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case TokenKind::Identifier:
    case TokenKind::StringLiteral:
      return a.text == b.text;
    case TokenKind::IntegerLiteral:
      return a.integer == b.integer;
    case TokenKind::FloatLiteral:
      return a.real == b.real;  // IEEE comparison: a NaN equals nothing
    default:
      return true;
  }
}

}  // namespace zevo::parser
