// Expressions (a Pratt loop over BINDING_POWERS with postfix operators),
// written types and match patterns.
#include <type_traits>
#include <utility>

#include "parser/parser.hpp"
#include "parser/parser_tables.hpp"
#include "text/ascii.hpp"
#include "text/number.hpp"

namespace zevo::parser {

namespace {

bool is_peripheral(TokenKind kind) {
  return token_kind_number(kind) >= token_kind_number(TokenKind::Gpio) &&
         token_kind_number(kind) <= token_kind_number(TokenKind::Dma);
}

// An optional "+", then decimal digits, within 0..255.
std::optional<std::uint8_t> parse_u8(std::string_view digits) {
  if (!digits.empty() && digits.front() == '-') return std::nullopt;
  const auto value = text::parse_i64(digits);
  if (!value || *value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(*value);
}

}  // namespace

// Entered on "Some", "Ok" or "Err" (either language). An expression ends on
// its last token, so its ")" is the next token and the wrapper ends on it; a
// pattern ends past itself, so its ")" is the current token and the wrapper
// ends past it.
template <class Node, class SomeNode, class OkNode, class ErrNode, class Read>
std::optional<Node> Parser::parse_wrapped(Read read) {
  const TokenKind wrapper = current_->kind;
  if (!next_at(TokenKind::LeftParen)) return std::nullopt;
  advance_twice();
  auto inner = read();
  if (!inner) return std::nullopt;
  constexpr bool ends_on_last_token = std::is_same_v<Node, Expr>;
  if (!(ends_on_last_token ? next_at(TokenKind::RightParen) : at(TokenKind::RightParen))) return std::nullopt;
  advance();
  if (wrapper == TokenKind::TrSome || wrapper == TokenKind::Some) return Node(make<SomeNode>(std::move(*inner)));
  if (wrapper == TokenKind::TrOk || wrapper == TokenKind::Ok) return Node(make<OkNode>(std::move(*inner)));
  return Node(make<ErrNode>(std::move(*inner)));
}

std::optional<Expr> Parser::parse_expression(std::uint8_t min_power) {
  Nesting nesting(*this);
  // One object from the prefix to the caller: operators wrap it in place.
  std::optional<Expr> left = nesting.too_deep() ? std::optional<Expr>() : parse_prefix();
  if (left && !read_operators(*left, min_power)) left.reset();
  return left;
}

bool Parser::read_operators(Expr& left, std::uint8_t min_power) {
  while (true) {
    switch (next_->kind) {
      case TokenKind::Dot: {
        advance_twice();
        if (!at(TokenKind::Identifier)) return false;
        Text member = current_text();
        if (next_at(TokenKind::LeftParen)) {
          advance();
          auto args = parse_call_arguments();
          if (!args) return false;
          left = make<MethodCall>(std::move(left), std::move(member), std::move(*args));
        } else {
          left = make<Binary>(Text::fixed("."), std::move(left), Expr(NameRef{std::move(member)}));
        }
        continue;
      }
      case TokenKind::Question:
        advance();
        left = make<TryExpr>(std::move(left), *current_span_);
        continue;
      case TokenKind::LeftParen: {
        advance();
        auto args = parse_call_arguments();
        if (!args) return false;
        left = make<Call>(std::move(left), std::move(*args));
        continue;
      }
      case TokenKind::LeftBracket: {
        advance_twice();
        auto index = parse_expression(0);
        if (!index) return false;
        if (!next_at(TokenKind::RightBracket)) return false;
        advance();
        left = make<Index>(std::move(left), std::move(*index));
        continue;
      }
      case TokenKind::ColonColon: {
        // The right side of "::" takes in every operator after it.
        advance_twice();
        auto right = parse_expression(0);
        if (!right) return false;
        left = make<Binary>(Text::fixed("::"), std::move(left), std::move(*right));
        continue;
      }
      default:
        break;
    }

    const tables::BindingPower* op = tables::binding_power(next_->kind);
    // Equal powers do not bind, so operators of one level group to the left.
    if (op == nullptr || op->power <= min_power) return true;
    advance_twice();
    switch (op->form) {
      case tables::BinaryForm::Range:
      case tables::BinaryForm::InclusiveRange: {
        auto high = parse_expression(op->power);
        if (!high) return false;
        left = make<RangeExpr>(op->form == tables::BinaryForm::InclusiveRange, std::move(left),
                              std::move(*high));
        break;
      }
      case tables::BinaryForm::Cast: {
        auto target = parse_type();
        if (!target) return false;
        left = make<Cast>(std::move(left), std::move(*target));
        break;
      }
      case tables::BinaryForm::Plain: {
        auto right = parse_expression(op->power);
        if (!right) return false;
        left = make<Binary>(Text::fixed(op->op), std::move(left), std::move(*right));
        break;
      }
    }
  }
}

std::optional<Expr> Parser::parse_prefix() {
  switch (current_->kind) {
    case TokenKind::Identifier:
      return Expr(NameRef{current_text()});
    case TokenKind::IntegerLiteral:
      return Expr(Integer{current_->integer});
    case TokenKind::FloatLiteral:
      return Expr(Float{current_->real});
    case TokenKind::StringLiteral:
      return Expr(make<Str>(current_text()));
    case TokenKind::TrTrue:
    case TokenKind::True:
      return Expr(Bool{true});
    case TokenKind::TrFalse:
    case TokenKind::False:
      return Expr(Bool{false});
    case TokenKind::TrNull:
    case TokenKind::Null:
      return Expr(Null{});
    case TokenKind::TrNone:
    case TokenKind::None:
      return Expr(NoneExpr{});
    case TokenKind::Minus:
    case TokenKind::TrNot:
    case TokenKind::Not: {
      const Text op = Text::fixed(at(TokenKind::Minus) ? "-" : at(TokenKind::TrNot) ? "değil" : "not");
      advance();
      auto operand = parse_expression(tables::kPrefixPower);
      if (!operand) return std::nullopt;
      return Expr(make<Unary>(op, std::move(*operand)));
    }
    case TokenKind::LeftBracket:
      return parse_list();
    case TokenKind::LeftParen:
      return parse_parenthesized();
    case TokenKind::TrSome:
    case TokenKind::Some:
    case TokenKind::TrOk:
    case TokenKind::Ok:
    case TokenKind::TrErr:
    case TokenKind::Err:
      return parse_wrapped<Expr, SomeExpr, OkExpr, ErrExpr>(expression_reader());
    case TokenKind::TrMove:
    case TokenKind::Move:
    case TokenKind::TrShare:
    case TokenKind::Share:
    case TokenKind::TrChange: {
      const TokenKind word = current_->kind;
      advance();
      auto operand = parse_expression(0);
      if (!operand) return std::nullopt;
      if (word == TokenKind::TrMove || word == TokenKind::Move) return Expr(make<Move>(std::move(*operand)));
      if (word == TokenKind::TrShare || word == TokenKind::Share) return Expr(make<Share>(std::move(*operand)));
      return Expr(make<Change>(std::move(*operand)));
    }
    case TokenKind::TrNew:
    case TokenKind::New:
      advance();
      if (!at(TokenKind::Identifier)) return std::nullopt;
      return Expr(make<New>(current_text()));
    case TokenKind::TrIf:
    case TokenKind::If:
      return parse_if_expression();
    case TokenKind::TrMatch:
    case TokenKind::Match:
      return parse_match();
    case TokenKind::Panic:
      return parse_panic();
    case TokenKind::Asm:
      return parse_asm();
    default:
      if (is_peripheral(current_->kind)) return parse_pin_method_call();
      return std::nullopt;
  }
}

std::optional<Expr> Parser::parse_list() {
  const bool empty = next_at(TokenKind::RightBracket);
  advance();
  if (empty) return Expr(make<List>());
  auto items = pending_expressions_.open();
  auto first = parse_expression(0);
  if (!first) return std::nullopt;
  items.push_back(std::move(*first));
  if (!read_more_items(items, expression_reader())) return std::nullopt;
  if (!next_at(TokenKind::RightBracket)) return std::nullopt;
  advance();
  return Expr(make<List>(seq(items.items())));
}

std::optional<Expr> Parser::parse_parenthesized() {
  advance();
  if (at(TokenKind::RightParen)) return Expr(make<Tuple>());
  auto first = parse_expression(0);
  if (!first) return std::nullopt;
  if (next_at(TokenKind::RightParen)) {
    advance();
    return first;  // parentheses leave no node
  }
  if (!next_at(TokenKind::Comma)) return std::nullopt;
  auto items = pending_expressions_.open();
  items.push_back(std::move(*first));
  bool trailing_comma = false;
  if (!read_more_items(items, expression_reader(), TokenKind::RightParen, &trailing_comma)) return std::nullopt;
  if (!trailing_comma) {
    if (!next_at(TokenKind::RightParen)) return std::nullopt;
    advance();
  }
  return Expr(make<Tuple>(seq(items.items())));
}

std::optional<Expr> Parser::parse_if_expression() {
  advance();
  auto condition = parse_expression(0);
  if (!condition) return std::nullopt;
  if (next_at(TokenKind::TrThen) || next_at(TokenKind::Then)) advance();
  advance();  // onto the block's opener, which is not examined
  Block then_body = parse_block();
  std::optional<Block> else_body;
  if (next_at(TokenKind::TrElse) || next_at(TokenKind::Else)) {
    advance_twice();
    else_body = parse_block();
  }
  return Expr(make<IfExpr>(std::move(*condition), std::move(then_body), std::move(else_body)));
}

std::optional<Expr> Parser::parse_match() {
  advance();
  auto scrutinee = parse_expression(0);
  if (!scrutinee) return std::nullopt;
  if (!next_at(TokenKind::TrDo) && !next_at(TokenKind::Do)) return std::nullopt;
  advance_twice();

  std::vector<MatchArm> arms;
  while (true) {
    Pattern pattern;
    if (at(TokenKind::TrCase) || at(TokenKind::Case)) {
      advance();
      auto read = parse_pattern();
      if (!read) return std::nullopt;
      pattern = std::move(*read);
    } else if (at(TokenKind::Identifier) && current_->text == "_") {
      advance();
      pattern = Pattern(Wildcard{});
    } else if (at(TokenKind::TrEnd) || at(TokenKind::End) || at(TokenKind::EndOfInput)) {
      break;
    } else {
      return std::nullopt;
    }
    // The arrow "=>" reaches the parser as "=" and ">".
    if (!at(TokenKind::Equal)) return std::nullopt;
    advance();
    if (!at(TokenKind::Greater)) return std::nullopt;
    advance();
    auto body = parse_expression(0);
    if (!body) return std::nullopt;
    arms.push_back(MatchArm{std::move(pattern), std::move(*body)});
    if (next_at(TokenKind::Semicolon)) advance();
    advance();
  }
  return Expr(make<Match>(std::move(*scrutinee), seq(std::move(arms))));
}

std::optional<Expr> Parser::parse_panic() {
  Span location = *current_span_;
  if (!next_at(TokenKind::Bang)) return std::nullopt;
  advance();
  if (!next_at(TokenKind::LeftParen)) return std::nullopt;
  advance_twice();
  if (!at(TokenKind::StringLiteral)) return std::nullopt;
  Text message = current_text();
  auto args = pending_expressions_.open();
  if (!read_more_items(args, expression_reader())) return std::nullopt;
  if (!next_at(TokenKind::RightParen)) return std::nullopt;
  advance();
  return Expr(make<Panic>(std::move(message), seq(args.items()), std::move(location)));
}

std::optional<Expr> Parser::parse_asm() {
  if (!next_at(TokenKind::LeftParen)) return std::nullopt;
  advance_twice();
  AsmArch arch;
  switch (current_->kind) {
    case TokenKind::X86_64:
      arch = AsmArch::X86_64;
      break;
    case TokenKind::Arm64:
      arch = AsmArch::Arm64;
      break;
    case TokenKind::Riscv:
      arch = AsmArch::Riscv;
      break;
    default:
      return std::nullopt;
  }
  if (!next_at(TokenKind::Comma)) return std::nullopt;
  advance_twice();
  if (!at(TokenKind::StringLiteral)) return std::nullopt;
  Text template_text = current_text();
  std::vector<AsmOperand> operands;
  if (next_at(TokenKind::Comma)) {
    // An operand that breaks off is dropped; the expression survives when ")" follows.
    auto read_operand = [&]() -> std::optional<AsmOperand> {
      AsmDirection direction;
      if (at(TokenKind::TrIn) || at(TokenKind::In)) {
        direction = AsmDirection::In;
      } else if (at(TokenKind::Identifier) && current_->text == "out") {
        direction = AsmDirection::Out;
      } else if (at(TokenKind::Identifier) && current_->text == "inout") {
        direction = AsmDirection::InOut;
      } else if (at(TokenKind::Identifier) && current_->text == "lateout") {
        direction = AsmDirection::LateOut;
      } else {
        return std::nullopt;
      }
      if (!next_at(TokenKind::LeftParen)) return std::nullopt;
      advance_twice();
      if (!at(TokenKind::Identifier)) return std::nullopt;
      Text register_name = current_text();
      if (!next_at(TokenKind::RightParen)) return std::nullopt;
      advance_twice();
      auto value = parse_expression(0);
      if (!value) return std::nullopt;
      return AsmOperand{direction, std::move(register_name), std::move(*value)};
    };
    do {
      advance_twice();
      auto operand = read_operand();
      if (!operand) break;
      operands.push_back(std::move(*operand));
    } while (next_at(TokenKind::Comma));
  } else if (!next_at(TokenKind::RightParen)) {
    return std::nullopt;
  }
  if (!next_at(TokenKind::RightParen)) return std::nullopt;
  advance();
  return Expr(make<Asm>(arch, std::move(template_text), seq(std::move(operands))));
}

std::optional<Expr> Parser::parse_pin_method_call() {
  const auto peripheral =
      tables::PERIPHERAL_NAMES[token_kind_number(current_->kind) - token_kind_number(TokenKind::Gpio)];
  if (!next_at(TokenKind::ColonColon)) return std::nullopt;
  advance_twice();
  if (!at(TokenKind::Identifier)) return std::nullopt;

  // "PA5" names port A, pin 5; other names are kept as written.
  const std::string& name = current_->text;
  Text pin;
  std::optional<std::uint8_t> pin_number;
  if (name.size() >= 3 && name[0] == 'P') {
    if (!text::is_ascii_letter(name[1])) return std::nullopt;
    const auto number = parse_u8(std::string_view(name).substr(2));
    if (number && *number < 16) {
      const char port = static_cast<char>(name[1] >= 'a' ? name[1] - 'a' + 'A' : name[1]);
      pin = arena_->text(std::string_view(&port, 1));
      pin_number = number;
    }
  }
  if (!pin_number) pin = current_text();

  if (!next_at(TokenKind::Dot)) return std::nullopt;
  advance_twice();
  Text operation;
  if (const auto* spelling = tables::find_spelling(tables::PIN_OPERATIONS, current_->kind)) {
    operation = Text::fixed(*spelling);
  } else if (at(TokenKind::Identifier)) {
    operation = current_text();
  } else {
    return std::nullopt;
  }

  auto args = pending_expressions_.open();
  if (next_at(TokenKind::LeftParen)) {
    advance_twice();
    if (!at(TokenKind::RightParen)) {
      while (true) {
        if (const auto* word = tables::find_spelling(tables::PIN_ARGUMENTS, current_->kind)) {
          args.push_back(Expr(NameRef{Text::fixed(*word)}));
        } else {
          auto arg = parse_expression(0);
          if (!arg) return std::nullopt;
          args.push_back(std::move(*arg));
        }
        if (next_at(TokenKind::Comma)) {
          advance_twice();
        } else if (next_at(TokenKind::RightParen)) {
          advance();
          break;
        } else {
          return std::nullopt;
        }
      }
    }
  }
  return Expr(make<PinMethodCall>(Text::fixed(peripheral), std::move(pin), pin_number, std::move(operation),
                                  seq(args.items())));
}

std::optional<Seq<Expr>> Parser::parse_call_arguments() {
  const bool empty = next_at(TokenKind::RightParen);
  advance();
  if (empty) return Seq<Expr>();
  auto args = pending_expressions_.open();
  // An argument that does not parse is left out; only a missing separator fails the list.
  if (auto arg = parse_expression(0)) args.push_back(std::move(*arg));
  while (true) {
    if (next_at(TokenKind::Comma)) {
      advance_twice();
      if (auto arg = parse_expression(0)) args.push_back(std::move(*arg));
    } else if (next_at(TokenKind::RightParen)) {
      advance();
      return seq(args.items());
    } else {
      return std::nullopt;
    }
  }
}

std::optional<TypeRef> Parser::parse_type() {
  Nesting nesting(*this);
  if (nesting.too_deep()) return std::nullopt;
  TypeRef type;
  if (const auto* name = tables::find_spelling(tables::TYPE_NAMES, current_->kind)) {
    type.name = Text::fixed(*name);
  } else if (at(TokenKind::Identifier)) {
    type.name = current_text();
  } else if (at(TokenKind::LeftParen)) {
    return parse_tuple_type();
  } else {
    return std::nullopt;
  }
  if (next_at(TokenKind::Less)) {
    auto args = parse_type_arguments();
    if (!args) return std::nullopt;
    type.args = std::move(*args);
  }
  return type;
}

// From the name before "<" to the closing ">".
std::optional<Seq<TypeRef>> Parser::parse_type_arguments() {
  advance_twice();
  std::vector<TypeRef> args;
  auto first = parse_type();
  if (!first) return std::nullopt;
  args.push_back(std::move(*first));
  if (!read_more_items(args, type_reader())) return std::nullopt;
  advance();
  if (!at(TokenKind::Greater)) return std::nullopt;
  return seq(std::move(args));
}

std::optional<TypeRef> Parser::parse_tuple_type() {
  const Text name = Text::fixed("demet");
  advance();
  if (at(TokenKind::RightParen)) return TypeRef{name, {}};
  auto first = parse_type();
  if (!first) return std::nullopt;
  std::vector<TypeRef> elements;
  elements.push_back(std::move(*first));
  bool trailing_comma = false;
  if (!read_more_items(elements, type_reader(), TokenKind::RightParen, &trailing_comma)) return std::nullopt;
  if (!trailing_comma) {
    if (!next_at(TokenKind::RightParen)) return std::nullopt;
    advance();
  }
  return TypeRef{name, seq(std::move(elements))};
}

std::optional<Pattern> Parser::parse_pattern() {
  Nesting nesting(*this);
  if (nesting.too_deep()) return std::nullopt;
  switch (current_->kind) {
    case TokenKind::IntegerLiteral:
    case TokenKind::StringLiteral:
    case TokenKind::TrTrue:
    case TokenKind::TrFalse:
    case TokenKind::TrNull:
    case TokenKind::True:
    case TokenKind::False:
    case TokenKind::Null: {
      auto value = parse_expression(0);
      if (!value) return std::nullopt;
      advance();
      return Pattern(make<Literal>(std::move(*value)));
    }
    case TokenKind::Identifier: {
      Pattern pattern = current_->text == "_" ? Pattern(Wildcard{}) : Pattern(make<Binding>(current_text()));
      advance();
      return pattern;
    }
    case TokenKind::TrNone:
    case TokenKind::None:
      advance();
      return Pattern(NonePattern{});
    case TokenKind::TrSome:
    case TokenKind::Some:
    case TokenKind::TrOk:
    case TokenKind::Ok:
    case TokenKind::TrErr:
    case TokenKind::Err:
      return parse_wrapped<Pattern, SomePattern, OkPattern, ErrPattern>([this] { return parse_pattern(); });
    case TokenKind::LeftParen: {
      advance();
      if (at(TokenKind::RightParen)) {
        advance();
        return Pattern(make<TuplePattern>());
      }
      auto first = parse_pattern();
      if (!first) return std::nullopt;
      if (at(TokenKind::RightParen)) {
        advance();
        return first;
      }
      std::vector<Pattern> items;
      items.push_back(std::move(*first));
      while (at(TokenKind::Comma)) {
        advance();
        if (at(TokenKind::RightParen)) break;  // a trailing comma
        auto item = parse_pattern();
        if (!item) return std::nullopt;
        items.push_back(std::move(*item));
      }
      if (!at(TokenKind::RightParen)) return std::nullopt;
      advance();
      return Pattern(make<TuplePattern>(seq(std::move(items))));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace zevo::parser
